// Which serial ports and rates the panel can be on, and what Windows calls them.
#include "serial/serial_port.h"

#include <cstdio>

namespace {

// Only "COM1" to "COM9" are reserved DOS names; a bare "COM12" is looked for as a file.
constexpr uint32_t kLastDosNamedPort = 9;

}  // namespace

bool SerialPortName(uint32_t port, uint32_t baud, char* name, size_t size) {
  if (port == 0 || port > kMaxComPort) return false;
  if (baud != 19200 && baud != 115200) return false;
  const char* prefix = port > kLastDosNamedPort ? "\\\\.\\" : "";
  const int n = std::snprintf(name, size, "%sCOM%u", prefix, static_cast<unsigned>(port));
  return n > 0 && static_cast<size_t>(n) < size;
}

// Which serial ports and rates the panel can be on, and what Windows calls them.
#include "serial/serial_port.h"

#include <cstdio>

bool SerialPortName(uint32_t port, uint32_t baud, char* name, size_t size) {
  if (port == 0 || port > 3) return false;
  if (baud != 19200 && baud != 115200) return false;
  // No device-namespace prefix: COM1 to COM3 need none.
  const int n = std::snprintf(name, size, "COM%u", static_cast<unsigned>(port));
  return n > 0 && static_cast<size_t>(n) < size;
}

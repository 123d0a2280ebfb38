// Reads and writes on the open serial port for the frame codec.
#include <windows.h>

#include "serial/port_io.h"
#include "serial/serial_port_win.h"

namespace {

// A total wait per read, the write time-out left as it is. All-zero read fields would
// make ReadFile wait for ever, so a wait is never 0.
bool SetReadWait(uint32_t timeoutMs) {
  COMMTIMEOUTS timeouts = {};
  if (!GetCommTimeouts(SerialHandle, &timeouts)) return false;
  timeouts.ReadIntervalTimeout = 0;
  timeouts.ReadTotalTimeoutMultiplier = 0;
  timeouts.ReadTotalTimeoutConstant = timeoutMs == 0 ? 1 : timeoutMs;
  return SetCommTimeouts(SerialHandle, &timeouts) != 0;
}

}  // namespace

int PortWrite(const uint8_t* data, uint32_t length) {
  DWORD written = 0;
  if (!WriteFile(SerialHandle, data, length, &written, nullptr)) return -1;
  return static_cast<int>(written);
}

int PortRead(uint8_t* data, uint32_t length, uint32_t timeoutMs) {
  if (!SetReadWait(timeoutMs)) return -1;
  DWORD got = 0;
  if (!ReadFile(SerialHandle, data, length, &got, nullptr)) return -1;
  return static_cast<int>(got);
}

uint32_t PortMillis() { return timeGetTime(); }

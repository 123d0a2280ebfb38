// Reads and writes on the open serial port for the frame codec.
#include <windows.h>

#include "serial/port_io.h"
#include "serial/serial_port_win.h"

namespace {

// Why the last read or write failed; the codec asks right after the failure.
DWORD LastFailure = 0;

int Failed() {
  LastFailure = GetLastError();
  return -1;
}

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
  if (!WriteFile(SerialHandle, data, length, &written, nullptr)) return Failed();
  return static_cast<int>(written);
}

int PortRead(uint8_t* data, uint32_t length, uint32_t timeoutMs) {
  if (!SetReadWait(timeoutMs)) return Failed();
  DWORD got = 0;
  if (!ReadFile(SerialHandle, data, length, &got, nullptr)) return Failed();
  return static_cast<int>(got);
}

uint32_t PortError() { return LastFailure; }

// ClearCommError also ends the stop that a driver with fAbortOnError makes after a
// framing or overrun error; the errors it reports are the line's, not the port's.
uint32_t PortLineStatus() {
  DWORD errors = 0;
  COMSTAT status = {};
  if (ClearCommError(SerialHandle, &errors, &status)) return 0;
  const DWORD code = GetLastError();
  return code != 0 ? code : ERROR_GEN_FAILURE;
}

uint32_t PortMillis() { return timeGetTime(); }

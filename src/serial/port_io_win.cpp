// Reads and writes on the open serial port for the frame codec.
#include <windows.h>

#include "serial/port_io.h"
#include "serial/serial_port.h"  // kWriteTimeoutMs
#include "serial/serial_port_win.h"

namespace {

// Why the last read or write failed; the codec asks right after the failure.
DWORD LastFailure = 0;

int Failed() {
  LastFailure = GetLastError();
  return -1;
}

// The read wait last set, and on which handle. Every call on the port is a round trip
// to the driver, and most reads of a tick wait as long as the one before (15 ms).
HANDLE WaitSetOn = nullptr;
uint32_t WaitSet = 0;

// A total wait per read, the write time-out as the open set it. All-zero read fields
// would make ReadFile wait for ever, so a wait is never 0.
bool SetReadWait(uint32_t timeoutMs) {
  const uint32_t wait = timeoutMs == 0 ? 1 : timeoutMs;
  if (WaitSetOn == SerialHandle && WaitSet == wait) return true;
  COMMTIMEOUTS timeouts = {};
  timeouts.ReadTotalTimeoutConstant = wait;
  timeouts.WriteTotalTimeoutConstant = kWriteTimeoutMs;
  WaitSetOn = nullptr;
  if (!SetCommTimeouts(SerialHandle, &timeouts)) return false;
  WaitSetOn = SerialHandle;
  WaitSet = wait;
  return true;
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

// A port opened anew may have the handle value of one closed before, with other
// time-outs: its first read sets its wait again.
void ForgetReadWait() { WaitSetOn = nullptr; }

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

void PortPause(uint32_t ms) { Sleep(ms); }

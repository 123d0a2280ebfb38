// The COM port under the frame codec, opened the one way the panel needs it.
#include "serial/serial_port_win.h"

#include "serial/port_io.h"
#include "serial/port_opener.h"
#include "serial/serial_port.h"

HANDLE SerialHandle = nullptr;

// Every field the wire depends on is set, never left as the driver or the last program
// had it: fAbortOnError left on makes every call fail with 995 after line noise until
// the error is cleared; fParity, fErrorChar and fNull alter or drop payload bytes; a
// flow-control or DSR-sensitivity field left on holds or discards bytes on a line that
// has no such wires. Windows supports only binary transfers.
void ApplyLineSetting(DCB* dcb, uint32_t baud) {
  dcb->BaudRate = baud;
  dcb->ByteSize = 8;
  dcb->Parity = NOPARITY;
  dcb->StopBits = ONESTOPBIT;
  dcb->fBinary = 1;
  dcb->fParity = 0;
  dcb->fOutxCtsFlow = 0;
  dcb->fOutxDsrFlow = 0;
  dcb->fDtrControl = DTR_CONTROL_ENABLE;
  dcb->fDsrSensitivity = 0;
  dcb->fTXContinueOnXoff = 1;
  dcb->fOutX = 0;  // no XON/XOFF: 0x11 and 0x13 are payload bytes like any other
  dcb->fInX = 0;
  dcb->fErrorChar = 0;
  dcb->fNull = 0;
  dcb->fRtsControl = RTS_CONTROL_DISABLE;
  dcb->fAbortOnError = 0;
  // Unused without XON/XOFF, but some drivers refuse a setting whose two are equal.
  dcb->XonChar = 0x11;
  dcb->XoffChar = 0x13;
}

namespace {

bool ConfigureLine(HANDLE handle, uint32_t baud) {
  DCB dcb = {};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(handle, &dcb)) return false;
  ApplyLineSetting(&dcb, baud);
  return SetCommState(handle, &dcb) != 0;
}

// Reads are given their wait by the codec before each read; writes keep this one.
void ApplyTimeouts(HANDLE handle) {
  COMMTIMEOUTS timeouts = {};
  if (!GetCommTimeouts(handle, &timeouts)) return;
  timeouts.ReadIntervalTimeout = 0;
  timeouts.ReadTotalTimeoutMultiplier = 0;
  timeouts.ReadTotalTimeoutConstant = 0;
  timeouts.WriteTotalTimeoutMultiplier = 0;
  timeouts.WriteTotalTimeoutConstant = kWriteTimeoutMs;
  SetCommTimeouts(handle, &timeouts);
}

}  // namespace

HANDLE OpenSerialPort(uint32_t port, uint32_t baud) {
  char name[kPortNameSize];
  if (!SerialPortName(port, baud, name, sizeof name)) return nullptr;
  HANDLE handle = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0 /* exclusive */, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  if (!ConfigureLine(handle, baud)) {
    CloseHandle(handle);
    return nullptr;
  }
  ApplyTimeouts(handle);
  PurgeComm(handle, PURGE_TXCLEAR | PURGE_RXCLEAR);
  return handle;
}

void CloseSerialPort(HANDLE handle) {
  if (handle == nullptr) return;
  PurgeComm(handle, PURGE_TXCLEAR | PURGE_RXCLEAR);
  CloseHandle(handle);
  ForgetReadWait();
}

// Opening it again after it went away, on a helper thread (port_opener.h). The dead
// handle was closed before.

namespace {

// One helper at a time (port_opener.cpp begins no other until it has reported), and it
// copies its job before it reports: one static job serves every open.
struct OpenerJob {
  uint32_t port;
  uint32_t baud;
  HMODULE module;  // this DLL, held until the helper has left it
} Job;

// The player may unload the DLL soon after quit, while an open still blocks here: the
// helper holds a reference to the DLL and drops it only as it exits.
DWORD WINAPI RunOpener(void*) {
  const OpenerJob job = Job;
  PortOpenFinished(OpenSerialPort(job.port, job.baud));
  FreeLibraryAndExitThread(job.module, 0);
}

}  // namespace

bool PortIsOpen() { return SerialHandle != nullptr; }

bool StartPortOpener(uint32_t port, uint32_t baud) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&RunOpener),
                          &module)) {
    return false;
  }
  Job = OpenerJob{port, baud, module};
  HANDLE thread = CreateThread(nullptr, 0, RunOpener, nullptr, 0, nullptr);
  if (thread == nullptr) {
    FreeLibrary(module);
    return false;
  }
  CloseHandle(thread);
  return true;
}

void AdoptOpenedPort(void* port) {
  SerialHandle = port;
  ForgetReadWait();
}

// Never the port the reads used, so the read wait set on that one stays right.
void CloseUnusedPort(void* port) {
  PurgeComm(port, PURGE_TXCLEAR | PURGE_RXCLEAR);
  CloseHandle(port);
}

void PortClose() {
  CloseSerialPort(SerialHandle);
  SerialHandle = nullptr;
}

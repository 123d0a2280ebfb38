// The COM port under the frame codec, opened the one way the panel needs it.
#include "serial/serial_port_win.h"

#include "serial/port_io.h"
#include "serial/serial_port.h"

HANDLE SerialHandle = nullptr;

namespace {

void ApplyLineSetting(DCB* dcb, uint32_t baud) {
  dcb->BaudRate = baud;
  dcb->ByteSize = 8;
  dcb->Parity = NOPARITY;
  dcb->StopBits = ONESTOPBIT;
  dcb->fOutxCtsFlow = 0;
  dcb->fOutxDsrFlow = 0;
  dcb->fDtrControl = DTR_CONTROL_ENABLE;
  dcb->fDsrSensitivity = 0;
  dcb->fOutX = 0;  // no XON/XOFF: 0x11 and 0x13 are payload bytes like any other
  dcb->fInX = 0;
  dcb->fNull = 0;
  dcb->fRtsControl = RTS_CONTROL_DISABLE;
}

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
  ForgetReadWait();
  return handle;
}

void CloseSerialPort(HANDLE handle) {
  if (handle == nullptr) return;
  PurgeComm(handle, PURGE_TXCLEAR | PURGE_RXCLEAR);
  CloseHandle(handle);
  ForgetReadWait();
}

// Opening it again after it went away; the dead handle was closed before.

bool PortIsOpen() { return SerialHandle != nullptr; }

bool PortOpen(uint32_t port, uint32_t baud) {
  SerialHandle = OpenSerialPort(port, baud);
  return SerialHandle != nullptr;
}

void PortClose() {
  CloseSerialPort(SerialHandle);
  SerialHandle = nullptr;
}

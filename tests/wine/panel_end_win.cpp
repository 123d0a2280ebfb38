#include "panel_end_win.h"

HANDLE OpenPanelEnd() {
  HANDLE h = CreateFileA("COM2", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  DCB dcb = {};
  dcb.DCBlength = sizeof dcb;
  GetCommState(h, &dcb);
  dcb.BaudRate = 115200;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fBinary = 1;
  dcb.fOutX = 0;
  dcb.fInX = 0;
  dcb.fOutxCtsFlow = 0;
  dcb.fOutxDsrFlow = 0;
  SetCommState(h, &dcb);
  PurgeComm(h, PURGE_RXCLEAR | PURGE_TXCLEAR);
  return h;
}

void PanelWrite(HANDLE panel, const Bytes& bytes) {
  DWORD written = 0;
  WriteFile(panel, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

Bytes PanelRead(HANDLE panel, size_t count, DWORD waitMs) {
  COMMTIMEOUTS t = {0, 0, waitMs, 0, 300};
  SetCommTimeouts(panel, &t);
  Bytes bytes(count);
  DWORD got = 0;
  if (!ReadFile(panel, bytes.data(), static_cast<DWORD>(count), &got, nullptr)) got = 0;
  bytes.resize(got);
  return bytes;
}

bool RunningUnderWine() {
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

#include <windows.h>

#include "command_line.h"
#include "stdin_reader.h"

namespace {

char g_line[kInputLineCapacity];  // only the reader thread fills it

// The main thread runs the command; SendMessage returns once it has answered.
void Deliver(HWND mainWindow, size_t length, bool overlong, bool end) {
  StdinLine line{g_line, length, overlong, end};
  SendMessageA(mainWindow, kCommandMessage, 0, reinterpret_cast<LPARAM>(&line));
}

DWORD WINAPI ReadStdin(void* parameter) {
  HWND mainWindow = static_cast<HWND>(parameter);
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  char chunk[4096];
  DWORD got = 0;
  size_t used = 0;
  bool overlong = false;
  while (ReadFile(input, chunk, sizeof chunk, &got, nullptr) && got > 0) {
    for (DWORD i = 0; i < got; ++i) {
      if (chunk[i] == '\n') {
        Deliver(mainWindow, used, overlong, false);
        used = 0;
        overlong = false;
      } else if (used < sizeof g_line - 1) {
        g_line[used++] = chunk[i];
      } else {
        overlong = true;
      }
    }
  }
  if (used > 0 || overlong) Deliver(mainWindow, used, overlong, false);  // no final newline
  Deliver(mainWindow, 0, false, true);
  return 0;
}

}  // namespace

bool StartStdinReader(HWND__* mainWindow) {
  HANDLE thread = CreateThread(nullptr, 0, ReadStdin, mainWindow, 0, nullptr);
  if (thread == nullptr) return false;
  CloseHandle(thread);
  return true;
}

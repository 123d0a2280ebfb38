// The emulated player: three windows, commands from standard input, answers on
// standard output. Usage: emu_player [--auto] [--main-rect X Y W H]
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>

#include "command_table.h"
#include "player_actions.h"
#include "player_windows.h"
#include "stdin_reader.h"

namespace {

struct Options {
  WindowRect main{700, 300, 275, 116};
  bool autoStart = false;
};

bool ParseRect(char** values, WindowRect& rect) {
  int32_t numbers[4];
  for (int i = 0; i < 4; ++i) {
    if (!ParseInt32(values[i], &numbers[i])) return false;
  }
  rect = WindowRect{numbers[0], numbers[1], numbers[2], numbers[3]};
  return rect.width > 0 && rect.height > 0;
}

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--auto") == 0) {
      options.autoStart = true;
    } else if (std::strcmp(argv[i], "--main-rect") == 0 && i + 4 < argc) {
      if (!ParseRect(argv + i + 1, options.main)) return false;
      i += 4;
    } else {
      return false;
    }
  }
  return true;
}

// A fault anywhere in the process, the plug-in's threads included, ends it with exit
// code 3 and a "fault" line, so that a test cannot mistake it for a clean exit. Written
// straight to the handle: the faulting thread may hold the C library's locks.
LONG WINAPI ReportFault(EXCEPTION_POINTERS* info) {
  char line[80];
  const int length = std::snprintf(line, sizeof line, "fault\t%08lx\t%p\n",
                                   info->ExceptionRecord->ExceptionCode, info->ExceptionRecord->ExceptionAddress);
  DWORD written = 0;
  if (length > 0) WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, static_cast<DWORD>(length), &written, nullptr);
  TerminateProcess(GetCurrentProcess(), 3);
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

int main(int argc, char** argv) {
  // Lines end in "\n" alone: no text-mode translation on the pipe.
  _setmode(_fileno(stdout), _O_BINARY);
  SetUnhandledExceptionFilter(ReportFault);
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fputs("usage: emu_player [--auto] [--main-rect X Y W H]\n", stderr);
    return 2;
  }
  if (!CreatePlayerWindows(options.main)) {
    std::fputs("emu_player: cannot create the windows\n", stderr);
    return 1;
  }
  if (options.autoStart) {
    PlayerLoad();
    PlayerInit();
  }
  if (!StartStdinReader(PlayerMainWindow())) {
    std::fputs("emu_player: cannot start the reader thread\n", stderr);
    return 1;
  }
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}

// "hold <path>": opens a file with no sharing and keeps it open, as another program that
// has the file open does (an editor, a tag tool, a virus scanner); "hold" alone closes it.
// One file at a time. The handle is the player's own, but the sharing check is the
// system's: any other open of the file for moving or writing fails while it is held.
#include <windows.h>

#include "command_table.h"
#include "output_line.h"

namespace {

HANDLE Held = INVALID_HANDLE_VALUE;

void Release() {
  if (Held != INVALID_HANDLE_VALUE) CloseHandle(Held);
  Held = INVALID_HANDLE_VALUE;
}

}  // namespace

void CommandHold(char** fields, int count) {
  Release();
  if (count == 2) {
    Held = CreateFileA(fields[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (Held == INVALID_HANDLE_VALUE) return EmitError("hold open error %lu", GetLastError());
  }
  EmitOk("hold");
}

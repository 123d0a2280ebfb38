// "msgbox": reads the plug-in's message box and presses its OK button, as a user would.
// "msgbox <title> <button>" does the same for another program's box (an installer's),
// pressing the button with that id (IDCANCEL is 2).
#include <windows.h>

#include "output_line.h"
#include "player_actions.h"

namespace {

constexpr int kMessageBoxTextId = 0xFFFF;  // the static that holds a message box's text

}  // namespace

void PlayerMessageBox(const char* title, int32_t button) {
  HWND box = FindWindowA("#32770", title);
  if (box == nullptr || !IsWindowVisible(box)) return EmitError("nowindow");
  char text[512] = "";
  GetDlgItemTextA(box, kMessageBoxTextId, text, sizeof text);
  TextLine line;
  LineBegin(line, "msgbox");
  LineTab(line, text);
  EmitLine(line);
  PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
}

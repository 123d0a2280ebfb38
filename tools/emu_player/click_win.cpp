// "click" presses a button of a top-level window, as a user of a dialog would; "settext"
// fills in one of its fields.
#include <windows.h>

#include "output_line.h"
#include "player_actions.h"

void PlayerClick(const char* title, int32_t control) {
  // A dialog is findable before it has finished setting up; it counts once visible.
  HWND window = FindWindowA(nullptr, title);
  if (window == nullptr || !IsWindowVisible(window)) return EmitError("nowindow");
  HWND button = GetDlgItem(window, control);
  if (button == nullptr) return EmitError("nocontrol");
  // Wine delivers clicks to disabled buttons; a user could not press one.
  if (!IsWindowEnabled(button)) return EmitError("disabled");
  EmitOk("click");
  // The click may open a modal window: the reader goes on, and its next lines are run
  // by that window's message loop.
  ReplyMessage(0);
  SendMessageA(button, BM_CLICK, 0, 0);
}

void PlayerSetText(const char* title, int32_t control, const char* text) {
  HWND window = FindWindowA(nullptr, title);
  if (window == nullptr || !IsWindowVisible(window)) return EmitError("nowindow");
  if (GetDlgItem(window, control) == nullptr) return EmitError("nocontrol");
  // Like typing: the edit tells its dialog, which may derive other fields from it.
  SetDlgItemTextA(window, control, text);
  EmitOk("settext");
}

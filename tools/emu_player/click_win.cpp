// "click" presses a button of a top-level window, as a user of a dialog would; "settext"
// fills in one of its fields, "pick" chooses an entry of one of its lists.
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

void PlayerPick(const char* title, int32_t control, const char* text) {
  HWND window = FindWindowA(nullptr, title);
  if (window == nullptr || !IsWindowVisible(window)) return EmitError("nowindow");
  HWND list = GetDlgItem(window, control);
  if (list == nullptr) return EmitError("nocontrol");
  if (!IsWindowEnabled(list)) return EmitError("disabled");
  const LRESULT at = SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
  if (at == LB_ERR) return EmitError("noitem");
  // As a click on the entry: it is selected, and the list tells its dialog.
  SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(at), 0);
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(control, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  EmitOk("pick");
}

#include <windows.h>

#include "file_info.h"
#include "host_dispatch.h"
#include "host_log.h"
#include "host_replies.h"
#include "media_library.h"
#include "player_actions.h"

namespace {

constexpr UINT kLibraryMessage = WM_USER + 0x1000;

DWORD AnswerDelayMs = 0;

const char* WindowName(HostWindow window) {
  switch (window) {
    case HostWindow::Main: return "main";
    case HostWindow::Playlist: return "playlist";
    case HostWindow::Library: return "library";
  }
  return "?";
}

intptr_t CopyData(LPARAM lParam, TextLine& details) {
  const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  if (copy == nullptr) return MainCopyData(0, nullptr, 0, details);
  return MainCopyData(copy->dwData, static_cast<const char*>(copy->lpData), copy->cbData, details);
}

// 0x200 and 0x201 ask about one file, 0x701 and 0x705 search the library.
intptr_t LibraryAnswer(uintptr_t record, intptr_t code, TextLine& details) {
  return code < 0x700 ? LibraryFileMessage(record, code, details) : LibraryMessage(record, code, details);
}

intptr_t Answer(HostWindow window, UINT message, WPARAM wParam, LPARAM lParam, TextLine& details) {
  if (window == HostWindow::Main) {
    if (message == WM_USER) return MainUserMessage(wParam, lParam, details);
    if (message == WM_COMMAND) return MainButton(wParam);
    if (message == WM_COPYDATA) return CopyData(lParam, details);
  }
  if (window == HostWindow::Playlist && message == WM_USER) return PlaylistUserMessage(wParam, lParam);
  if (window == HostWindow::Library && message == kLibraryMessage) return LibraryAnswer(wParam, lParam, details);
  return 0;
}

}  // namespace

bool IsHostMessage(uint32_t message) {
  return message == WM_COMMAND || message == WM_COPYDATA || (message >= WM_USER && message < WM_APP);
}

void PlayerSetAnswerDelay(int32_t ms) { AnswerDelayMs = static_cast<DWORD>(ms); }

intptr_t AnswerHostMessage(HostWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (AnswerDelayMs != 0) Sleep(AnswerDelayMs);
  TextLine details;
  details.used = 0;
  intptr_t result = Answer(window, message, wParam, lParam, details);
  LogHostMessage(WindowName(window), message, wParam, lParam, result, details);
  return result;
}

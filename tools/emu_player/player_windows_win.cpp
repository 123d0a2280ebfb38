#include <windows.h>

#include "clock_timer.h"
#include "command_line.h"
#include "host_dispatch.h"
#include "host_replies.h"
#include "player_windows.h"

static_assert(kCommandMessage == WM_APP);

namespace {

HWND g_main = nullptr;
HWND g_library = nullptr;

LRESULT HostOrDefault(HostWindow window, HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsHostMessage(message)) return AnswerHostMessage(window, message, wParam, lParam);
  return DefWindowProcA(handle, message, wParam, lParam);
}

LRESULT CALLBACK MainProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kCommandMessage) {
    RunStdinLine(*reinterpret_cast<const StdinLine*>(lParam));
    return 0;
  }
  if (message == WM_TIMER && OnClockTimer(wParam)) return 0;
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return HostOrDefault(HostWindow::Main, handle, message, wParam, lParam);
}

// Closing the side windows only hides them, as the player does.
LRESULT CALLBACK PlaylistProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    ShowWindow(handle, SW_HIDE);
    return 0;
  }
  return HostOrDefault(HostWindow::Playlist, handle, message, wParam, lParam);
}

LRESULT CALLBACK LibraryProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    ShowWindow(handle, SW_HIDE);
    return 0;
  }
  return HostOrDefault(HostWindow::Library, handle, message, wParam, lParam);
}

HWND MakeWindow(const char* className, WNDPROC procedure, const char* title, const WindowRect& rect,
                DWORD style) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = className;
  if (RegisterClassA(&windowClass) == 0) return nullptr;
  return CreateWindowExA(0, className, title, style, rect.x, rect.y, rect.width, rect.height,
                         nullptr, nullptr, windowClass.hInstance, nullptr);
}

}  // namespace

bool CreatePlayerWindows(const WindowRect& main) {
  const DWORD small = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  g_main = MakeWindow("EmuPlayerMain", MainProc, "Emulated Player", main, small);
  HWND playlist = MakeWindow("EmuPlayerPlaylist", PlaylistProc, "Emulated Playlist",
                             WindowRect{main.x, main.y + main.height, main.width, 232},
                             WS_OVERLAPPEDWINDOW);
  g_library = MakeWindow("EmuPlayerLibrary", LibraryProc, "Emulated Library",
                         WindowRect{100, 100, 600, 400}, WS_OVERLAPPEDWINDOW);
  if (g_main == nullptr || playlist == nullptr || g_library == nullptr) return false;
  SetPlaylistWindowAnswer(reinterpret_cast<intptr_t>(playlist));
  ShowWindow(g_main, SW_SHOW);
  UpdateWindow(g_main);
  return true;
}

HWND__* PlayerMainWindow() { return g_main; }
HWND__* PlayerLibraryWindow() { return g_library; }

// Shows the start-up dialog as a user fills it in on the first run (music folder typed,
// COM2 picked), for the picture in the documentation. Writes the dialog's screen
// rectangle ("x y width height") to dialog_shot.rect beside this program once it is
// drawn, then keeps it open until dialog_shot.done appears there (at most 30 s).
// The settings file it reads and creates, Plugins\plugin.ini beside it, is removed again.
#include <windows.h>

#include <cstdio>
#include <string>
#include <thread>

#include "config/config_dialog.h"
#include "res/resource_ids.h"
#include "host/host_windows_win.h"

namespace {

constexpr DWORD kWaitMs = 30000;

std::string ProgramFolder() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, sizeof path);
  const std::string program = path;
  return program.substr(0, program.rfind('\\') + 1);
}

// Polls every 10 ms; false when the time is up.
template <typename Condition>
bool WaitFor(Condition condition) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > kWaitMs) return false;
    Sleep(10);
  }
  return true;
}

HWND MakeHostWindow() {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "QuillboxDialogShotHost";
  RegisterClassA(&windowClass);
  return CreateWindowExA(0, windowClass.lpszClassName, "Player", WS_OVERLAPPEDWINDOW, 760, 260, 300, 200, nullptr,
                         nullptr, windowClass.hInstance, nullptr);
}

void FillIn(HWND dialog) {
  SetDlgItemTextA(dialog, kCtlMusicFolder, "C:\\My Music");
  HWND list = GetDlgItem(dialog, kCtlPortList);
  SendMessageA(list, LB_SETCURSEL, 1, 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kCtlPortList, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

void WriteRect(HWND dialog, const std::string& path) {
  RECT r = {};
  GetWindowRect(dialog, &r);
  FILE* file = std::fopen(path.c_str(), "w");
  if (file == nullptr) return;
  std::fprintf(file, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
  std::fclose(file);
}

void Pose(const std::string& folder) {
  HWND dialog = nullptr;
  if (WaitFor([&] { return (dialog = FindWindowA(nullptr, "Quillbox Plugin")) != nullptr && IsWindowVisible(dialog); })) {
    FillIn(dialog);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(300);
    WriteRect(dialog, folder + "dialog_shot.rect");
    WaitFor([&] { return GetFileAttributesA((folder + "dialog_shot.done").c_str()) != INVALID_FILE_ATTRIBUTES; });
  }
  WaitFor([&] {
    HWND open = FindWindowA(nullptr, "Quillbox Plugin");
    if (open != nullptr) PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
    return open == nullptr;
  });
}

}  // namespace

int main() {
  const std::string folder = ProgramFolder();
  const std::string settings = folder + "Plugins\\";
  DeleteFileA((folder + "dialog_shot.done").c_str());
  CreateDirectoryA(settings.c_str(), nullptr);
  SetHostWindows(MakeHostWindow(), nullptr, GetModuleHandleA(nullptr));
  std::thread user(Pose, folder);
  const int result = ConfigDialog();
  user.join();
  DestroyWindow(HostMainWindow());
  DeleteFileA((settings + "plugin.ini").c_str());
  RemoveDirectoryA(settings.c_str());
  return result;
}

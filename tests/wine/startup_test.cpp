// Start-up failures that cannot be brought about from outside the process: the
// allocator fails on purpose, or the dialog's window is refused, and the test reads and
// closes the box as a user would.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "browse/slot_tables.h"
#include "serial/serial_port_win.h"
#include "shell/plugin_descriptor_win.h"

namespace {

int Allocations = 0;
int FailFrom = 0;

void* FailingAllocate(size_t size) {
  if (++Allocations >= FailFrom) return nullptr;
  return std::malloc(size);
}

// Waits for the plug-in's box, takes its text and presses OK.
std::string AnswerMessageBox() {
  for (int i = 0; i < 500; i++) {
    HWND box = FindWindowA("#32770", "Quillbox");
    if (box != nullptr && IsWindowVisible(box)) {
      char text[256] = "";
      GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      return text;
    }
    Sleep(10);
  }
  return "";
}

TEST(StartupFailure, NoMemoryForTheThirdTableIsReportedAndQuitStillWorks) {
  HWND host = CreateWindowA("STATIC", "Host", WS_OVERLAPPED, 600, 300, 200, 100, nullptr, nullptr, nullptr, nullptr);
  Plugin.hostMainWindow = host;
  Allocations = 0;
  FailFrom = 5;  // two tables are two allocations each; the third table's first one fails
  SlotAllocate = FailingAllocate;
  std::string text;
  std::thread user([&] { text = AnswerMessageBox(); });
  EXPECT_EQ(PluginInit(), -1);
  user.join();
  SlotAllocate = std::malloc;
  EXPECT_EQ(text, "Could not allocate heap memory. Click OK to terminate Quillbox plugin.");
  EXPECT_NE(ExtensionTable, nullptr);  // built before the failure: stays until quit
  EXPECT_NE(BrowseNames, nullptr);
  EXPECT_EQ(BrowseTitles, nullptr);
  PluginQuit();
  EXPECT_EQ(ExtensionTable, nullptr);
  EXPECT_EQ(BrowseNames, nullptr);
  DestroyWindow(host);
}

// A host window that answers the one question init asks before the dialog: where
// winamp.ini is.
std::string IniPath;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER && lParam == 334) return reinterpret_cast<LRESULT>(IniPath.c_str());
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeHost() {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = HostProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "QuillboxStartupHost";
  RegisterClassA(&windowClass);
  return CreateWindowA("QuillboxStartupHost", "Host", WS_OVERLAPPED, 600, 300, 200, 100, nullptr, nullptr,
                       GetModuleHandleA(nullptr), nullptr);
}

// Refuses to make the dialog's window, as a system out of window resources would; the
// message box may still be made.
LRESULT CALLBACK RefuseDialog(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    const char* name = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs->lpszName;
    if (!IS_INTRESOURCE(name) && lstrcmpA(name, "Quillbox Plugin") == 0) return 1;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(StartupFailure, ADialogThatCannotBeShownIsReportedNotTakenForQuit) {
  char temp[MAX_PATH] = "";
  GetTempPathA(sizeof temp, temp);
  IniPath = std::string(temp) + "qb_startup_winamp.ini";
  FILE* ini = std::fopen(IniPath.c_str(), "wb");
  ASSERT_NE(ini, nullptr);
  std::fputs("[Winamp]\r\nconfig_extlist=MP3\r\n", ini);
  std::fclose(ini);
  HWND host = MakeHost();
  Plugin.hostMainWindow = host;
  HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseDialog, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  std::string text;
  std::thread user([&] { text = AnswerMessageBox(); });
  EXPECT_EQ(PluginInit(), -1);
  user.join();
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(text, "Could not show the Quillbox configuration dialog.  Click OK to terminate Quillbox plugin.");
  EXPECT_EQ(SerialHandle, nullptr);  // start-up went no further
  PluginQuit();
  DestroyWindow(host);
  DeleteFileA(IniPath.c_str());
}

}  // namespace

// Start-up failures that cannot be brought about from outside the process: the
// allocator fails on purpose, and the test reads and closes the box as a user would.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "browse/slot_tables.h"
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

}  // namespace

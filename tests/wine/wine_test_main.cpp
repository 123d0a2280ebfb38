// Entry of every Win32 test program: the plug-in's resources are linked into the test
// program itself, so its module is the instance the plug-in loads them from.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "host/host_windows_win.h"
#include "shell/plugin_descriptor_win.h"

int main(int argc, char** argv) {
  Plugin.instance = GetModuleHandleA(nullptr);
  SetHostWindows(nullptr, nullptr, Plugin.instance);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  // wine-run.sh reads this when Wine's kill at exit beats the process's own exit.
  std::printf("wine-test: exit %d\n", result);
  std::fflush(stdout);
  return result;
}

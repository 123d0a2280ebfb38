// Owner of the player's window handles and the plug-in's instance.
#include "host/host_windows_win.h"

namespace {

HWND MainWindow = nullptr;
HWND Library = nullptr;
HINSTANCE Instance = nullptr;

}  // namespace

void SetHostWindows(HWND mainWindow, HWND libraryWindow, HINSTANCE instance) {
  MainWindow = mainWindow;
  Library = libraryWindow;
  Instance = instance;
}

HWND HostMainWindow() { return MainWindow; }
HWND LibraryWindow() { return Library; }
HINSTANCE PluginInstance() { return Instance; }

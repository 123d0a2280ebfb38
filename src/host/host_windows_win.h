// The player's windows and the plug-in's module instance, as the player filled them into
// the plug-in's record before init. Start-up copies them here first thing, so that the
// catalogue, the alarm and the dialog never reach up into the shell for them.
#pragma once
#include <windows.h>

void SetHostWindows(HWND mainWindow, HWND libraryWindow, HINSTANCE instance);

HWND HostMainWindow();
HWND LibraryWindow();
HINSTANCE PluginInstance();  // loads the string table and dialog 101

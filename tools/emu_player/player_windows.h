// The player's three windows, made and owned by the main thread.
#pragma once

struct HWND__;  // the window handle type, without the whole system header

struct WindowRect {
  int x;
  int y;
  int width;
  int height;
};

bool CreatePlayerWindows(const WindowRect& main);
HWND__* PlayerMainWindow();
HWND__* PlayerLibraryWindow();

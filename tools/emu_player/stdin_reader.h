// The thread that reads standard input and hands each line to the main window.
#pragma once

struct HWND__;

bool StartStdinReader(HWND__* mainWindow);

// The record the player receives from the plug-in's one export: eight 32-bit fields.
#pragma once
#include <windows.h>

struct PluginDescriptor {
  int version;                       // 0x15
  const char* description;           // "Quillbox"
  int (*init)();                     // PluginInit
  void (*quit)();                    // PluginQuit
  int (*notify)(int, int, int);      // null: the plug-in takes no notifications
  HWND hostMainWindow;               // filled in by the player before init
  HWND libraryWindow;                // filled in by the player before init
  HINSTANCE instance;                // filled in by the player: loads strings and dialog 101
};
#if !defined(_WIN64)
static_assert(sizeof(PluginDescriptor) == 32);
#endif

extern PluginDescriptor Plugin;

int PluginInit();
void PluginQuit();

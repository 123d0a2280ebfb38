// The plug-in's one export and the record it hands the player.
#include "shell/plugin_descriptor_win.h"

PluginDescriptor Plugin = {0x15, "Quillbox", PluginInit, PluginQuit, nullptr, nullptr, nullptr, nullptr};

extern "C" __declspec(dllexport) PluginDescriptor* winampGetMediaLibraryPlugin() { return &Plugin; }

// Loading does nothing else: all work starts when the player calls init.
BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

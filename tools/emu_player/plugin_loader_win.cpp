// load, init, quit, unload and exit: the plug-in's life as the player drives it.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "output_line.h"
#include "player_actions.h"
#include "player_windows.h"

namespace {

// What the plug-in's entry point returns: eight 32-bit fields, cdecl functions.
struct PluginDescriptor {
  int32_t version;
  const char* description;
  int(__cdecl* init)();
  void(__cdecl* quit)();
  void* notify;             // unused by this player
  HWND mainWindow;          // the player fills the last three
  HWND libraryWindow;
  HINSTANCE instance;
};
static_assert(sizeof(PluginDescriptor) == 32);

using PluginEntry = PluginDescriptor*(__cdecl*)();

HMODULE g_module = nullptr;
PluginDescriptor* g_plugin = nullptr;
bool g_initOpen = false;  // init was called and quit not yet
int g_callDepth = 0;      // inside init or quit: later lines may arrive through their message loop

bool PluginPath(char* out, size_t capacity) {
  char program[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  const char* slash = std::strrchr(program, '\\');
  if (slash == nullptr) return false;
  int folder = static_cast<int>(slash - program);
  int written = std::snprintf(out, capacity, "%.*s\\Plugins\\ml_quillbox.dll", folder, program);
  return written > 0 && static_cast<size_t>(written) < capacity;
}

// Loading, unloading or re-entering the plug-in from inside its own init or quit
// would pull it out from under itself.
bool Busy(const char* command) {
  if (g_callDepth == 0) return false;
  EmitError("%s busy: the plug-in is inside init or quit", command);
  return true;
}

PluginEntry FindEntry(HMODULE module) {
  FARPROC found = GetProcAddress(module, "winampGetMediaLibraryPlugin");
  return reinterpret_cast<PluginEntry>(reinterpret_cast<void (*)()>(found));
}

void CallQuit() {
  ++g_callDepth;
  if (g_plugin->quit != nullptr) g_plugin->quit();
  --g_callDepth;
  g_initOpen = false;
}

void AnswerLoaded() {
  TextLine line;
  LineBegin(line, "loaded");
  LineKeyNumber(line, "version", g_plugin->version);
  LineKey(line, "description", g_plugin->description);
  EmitLine(line);
}

}  // namespace

void PlayerLoad() {
  if (Busy("load")) return;
  if (g_module != nullptr) return EmitError("load already loaded");
  char path[MAX_PATH];
  if (!PluginPath(path, sizeof path)) return EmitError("load path too long");
  HMODULE module = LoadLibraryA(path);
  if (module == nullptr) return EmitError("load LoadLibrary error %lu", GetLastError());
  PluginEntry entry = FindEntry(module);
  PluginDescriptor* plugin = entry != nullptr ? entry() : nullptr;
  if (plugin == nullptr) {
    FreeLibrary(module);
    return EmitError(entry == nullptr ? "load no entry point" : "load no descriptor");
  }
  plugin->mainWindow = PlayerMainWindow();
  plugin->libraryWindow = PlayerLibraryWindow();
  plugin->instance = module;
  g_module = module;
  g_plugin = plugin;
  AnswerLoaded();
}

void PlayerInit() {
  if (Busy("init")) return;
  if (g_plugin == nullptr) return EmitError("init not loaded");
  if (g_initOpen) return EmitError("init already done");
  if (g_plugin->init == nullptr) return EmitError("init no init function");
  // Frees the reader thread at once: while init sits in a modal dialog, the next lines
  // (click, model, sync...) are run by the dialog's message loop.
  ReplyMessage(0);
  g_initOpen = true;
  ++g_callDepth;
  int result = g_plugin->init();
  --g_callDepth;
  TextLine line;
  LineBegin(line, "init");
  LineNumber(line, result);
  EmitLine(line);
}

void PlayerQuit() {
  if (Busy("quit")) return;
  if (g_plugin == nullptr) return EmitError("quit not loaded");
  CallQuit();
  TextLine line;
  LineBegin(line, "quit");
  LineTab(line, "done");
  EmitLine(line);
}

void PlayerUnload() {
  if (Busy("unload")) return;
  if (g_module == nullptr) return EmitError("unload not loaded");
  if (g_initOpen) return EmitError("unload before quit");
  FreeLibrary(g_module);
  g_module = nullptr;
  g_plugin = nullptr;
  TextLine line;
  LineBegin(line, "unloaded");
  EmitLine(line);
}

// As the player leaves: quit, then unload, so that a fault in the plug-in's unloading
// shows as a "fault" line before "bye".
void PlayerExit() {
  if (g_initOpen && g_callDepth == 0) CallQuit();
  if (g_module != nullptr && !g_initOpen && g_callDepth == 0) {
    FreeLibrary(g_module);
    g_module = nullptr;
    g_plugin = nullptr;
  }
  TextLine line;
  LineBegin(line, "bye");
  EmitLine(line);
  ExitProcess(0);
}

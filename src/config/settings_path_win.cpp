// The settings file of the running player: its path from the process command line and
// the program's module file name.
#include <windows.h>

#include "config/settings_file.h"
#include "res/resource_ids.h"

int SettingsFilePath(char* path, size_t size) {
  char module[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
  // A name that filled the buffer may have been cut: no name then.
  const bool whole = length > 0 && length < sizeof module;
  return SettingsPathFromCommandLine(GetCommandLineA(), whole ? module : nullptr, path, size);
}

int ReadSettings() {
  char path[kSettingsPathSize];
  if (!SettingsFilePath(path, sizeof path)) return kMsgProcessPath;
  return ReadSettingsFile(path);
}

int WriteSettings() {
  char path[kSettingsPathSize];
  if (!SettingsFilePath(path, sizeof path)) return kMsgProcessPath;
  return WriteSettingsFile(path);
}

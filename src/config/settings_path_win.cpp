// The settings file of the running player: its path from the process command line.
#include <windows.h>

#include "config/settings_file.h"
#include "res/resource_ids.h"

int SettingsFilePath(char* path, size_t size) {
  return SettingsPathFromCommandLine(GetCommandLineA(), path, size);
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

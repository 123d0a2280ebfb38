// Looking up the file behind a list index.
#include "protocol/entry_paths.h"

#include <cstring>

#include "browse/folder_browser.h"
#include "browse/folder_path.h"
#include "browse/slot_tables.h"
#include "protocol/command_reader.h"
#include "protocol/list_state.h"

int BrowsedEntryPath(char (&path)[kPathSize], uint32_t index) {
  path[0] = '\0';
  if (BrowseNames == nullptr || index >= ListBound(BrowseCount)) return 0;
  const char* name = BrowseNames[index];
  if (name[0] == '\0') return 0;
  return JoinPath(path, sizeof path, CurrentFolder, name);
}

const char* LibraryResultPath(uint32_t index) {
  if (LibraryPaths == nullptr || index >= ListBound(LibraryResultCount)) return nullptr;
  const char* path = LibraryPaths[index];
  const size_t length = strnlen(path, kSlotSize);
  // A path of 499 characters or more was cut to its slot when it was stored. One longer
  // than 255 does not fit the paths the plug-in hands the player: play, add and info all
  // refuse it alike.
  if (length == 0 || length >= kPathSize) return nullptr;
  return path;
}

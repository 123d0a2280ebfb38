// The navigation steps over CurrentFolder and LibraryRoot.
#include "browse/folder_path.h"

#include <cstdio>
#include <cstring>

#include "config/settings.h"
#include "files/path_chars.h"

namespace {

bool StartsWith(const char* text, const char* prefix) {
  return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// A name from the listing: not empty, not "." or "..", and no separator inside, so that
// appending it always goes exactly one folder down and the climb back stays textual.
bool IsSingleFolderName(const char* name) {
  if (name[0] == '\0' || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) return false;
  return FindPathChar(name, "\\/") == nullptr;
}

}  // namespace

int JoinPath(char* path, size_t size, const char* folder, const char* name) {
  if (size == 0) return 0;
  const int length = std::snprintf(path, size, "%s%s", folder, name);
  if (length >= 0 && static_cast<size_t>(length) < size) return 1;
  path[0] = '\0';
  return 0;
}

int ReturnToRoot() {
  std::snprintf(CurrentFolder, kPathSize, "%s", LibraryRoot);
  return 1;
}

int LeaveFolder() {
  if (std::strcmp(CurrentFolder, LibraryRoot) == 0) return 1;
  // By characters: a name's second byte may be that of a backslash.
  const char* last = LastBackslash(CurrentFolder);
  if (last == nullptr) return 1;
  CurrentFolder[last - CurrentFolder] = '\0';
  const char* parent = LastBackslash(CurrentFolder);
  if (parent == nullptr) {
    ReturnToRoot();
    return 0;
  }
  CurrentFolder[parent + 1 - CurrentFolder] = '\0';
  // Only a folder that was never below the music folder can climb out of it; bring such
  // a folder back to the music folder rather than let the panel browse above it.
  if (!StartsWith(CurrentFolder, LibraryRoot)) {
    ReturnToRoot();
    return 0;
  }
  return 1;
}

int EnterFolder(const char* entry) {
  if (entry == nullptr || entry[0] != '\\') return 0;
  const char* name = entry + 1;
  if (!IsSingleFolderName(name)) return 0;
  const size_t used = std::strlen(CurrentFolder);
  const size_t added = std::strlen(name) + 1;
  // CurrentFolder holds at most 255 characters; a cut path would name another folder.
  if (used + added > kPathSize - 1) return 0;
  std::snprintf(CurrentFolder + used, kPathSize - used, "%s\\", name);
  return 1;
}

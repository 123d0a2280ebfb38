// "E" 2 and 3: songs appended to the playlist, from the folder being browsed (one file,
// or every playable file of a subfolder) or from the last media-library search.
#include "browse/slot_tables.h"
#include "host/host_catalogue.h"
#include "protocol/entry_paths.h"
#include "protocol/folder_enqueue.h"
#include "protocol/playlist_edit.h"
#include "protocol/poll_tick.h"

namespace {

// The playlist holds 500 entries at most. The player would take a 501st, and the next
// tick would trim it away again after the panel had been told that it was added.
bool PlaylistHasRoom() { return PlaylistLength < static_cast<int32_t>(kMaxListEntries); }

// Acknowledged when at least one file was added and the browse lists describe the
// folder the panel is in again.
bool AddFolder(const char* entry) {
  uint32_t appended = 0;
  return EnqueueFolderFiles(entry, PlaylistLength, &appended) == FolderEnqueue::kDone && appended > 0;
}

}  // namespace

bool AddBrowsedEntry(uint32_t a) {
  char path[kPathSize];
  if (!PlaylistHasRoom() || !BrowsedEntryPath(path, a)) return false;
  const char* entry = BrowseNames[a];
  if (entry[0] == '\\') return AddFolder(entry);
  HostEnqueueFile(path);
  return true;
}

bool AddSearchResult(uint32_t a) {
  const char* path = LibraryResultPath(a);
  if (!PlaylistHasRoom() || path == nullptr) return false;
  HostEnqueueFile(path);
  return true;
}

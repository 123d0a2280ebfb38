// "E" 2 and 3: songs appended to the playlist, from the folder being browsed (one file,
// or every playable file of a subfolder) or from the last media-library search.
#include <cstring>

#include "browse/folder_browser.h"
#include "browse/folder_path.h"
#include "browse/slot_tables.h"
#include "config/settings.h"
#include "host/host_catalogue.h"
#include "protocol/list_state.h"
#include "protocol/playlist_edit.h"
#include "protocol/poll_tick.h"

namespace {

// The playlist holds 500 entries at most. The player would take a 501st, and the next
// tick would trim it away again after the panel had been told that it was added.
bool PlaylistHasRoom() { return PlaylistLength < static_cast<int32_t>(kMaxListEntries); }

bool IsFolderEntry(const char* entry) { return entry[0] == '\\'; }

// Appends CurrentFolder + name; false, adding nothing, when the path would not fit.
bool EnqueueBrowsedFile(const char* name) {
  char path[kEditTextSize];
  if (!JoinPath(path, sizeof path, CurrentFolder, name)) return false;
  HostEnqueueFile(path);
  return true;
}

// The playable files of the folder just scanned, in listing order; the number added.
// The room is reckoned from the playlist's length at the start of the tick, and j counts
// the folder entries too, as the panel counts them.
uint32_t EnqueueListedFiles() {
  uint32_t added = 0;
  for (uint32_t j = 0; j < BrowseCount && static_cast<int64_t>(j) + PlaylistLength < kMaxListEntries; j++) {
    if (QuitRequested()) break;
    const char* name = BrowseNames[j];
    if (name[0] == '\0' || IsFolderEntry(name)) continue;
    if (EnqueueBrowsedFile(name)) added++;
  }
  return added;
}

// In, scan, add, out, scan: the browse lists describe the folder the panel is in again
// afterwards, in listing order. A folder that cannot be listed is left too, so that the
// lists and the folder name on the panel keep naming the same folder.
bool AddFolder(const char* entry) {
  if (!EnterFolder(entry)) return false;
  const uint32_t added = RescanCurrentFolder() ? EnqueueListedFiles() : 0;
  LeaveFolder();
  if (QuitRequested()) return false;  // the lists are freed next: no use listing again
  if (!RescanCurrentFolder()) return false;
  return added > 0;
}

}  // namespace

bool AddBrowsedEntry(uint32_t a) {
  if (a >= BrowseCount || a >= kMaxListEntries || !PlaylistHasRoom()) return false;
  const char* entry = BrowseNames[a];
  if (entry[0] == '\0') return false;
  return IsFolderEntry(entry) ? AddFolder(entry) : EnqueueBrowsedFile(entry);
}

bool AddSearchResult(uint32_t a) {
  if (a >= LibraryResultCount || a >= kMaxListEntries || !PlaylistHasRoom()) return false;
  const char* found = LibraryPaths[a];
  const size_t length = strnlen(found, kEditTextSize);
  if (length == 0 || length >= kEditTextSize) return false;
  char path[kEditTextSize];
  std::memcpy(path, found, length + 1);
  HostEnqueueFile(path);
  return true;
}

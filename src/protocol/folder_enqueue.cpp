// The folder walk behind "P" 2 and "E" 2.
#include "protocol/folder_enqueue.h"

#include "browse/folder_browser.h"
#include "browse/folder_path.h"
#include "browse/slot_tables.h"
#include "config/settings.h"
#include "host/host_catalogue.h"
#include "protocol/command_reader.h"
#include "protocol/poll_tick.h"
#include "protocol/quit_request.h"

namespace {

uint32_t AppendListedFiles(int32_t playlistLength) {
  const uint32_t room = kMaxListEntries - ListBound(playlistLength);
  const uint32_t examined = BrowseCount < room ? BrowseCount : room;
  uint32_t appended = 0;
  for (uint32_t i = 0; i < examined && !QuitRequested(); i++) {
    const char* name = BrowseNames[i];
    char path[kPathSize];
    if (name[0] == '\\' || !JoinPath(path, sizeof path, CurrentFolder, name)) continue;
    HostEnqueueFile(path);
    appended++;
  }
  return appended;
}

}  // namespace

FolderEnqueue EnqueueFolderFiles(const char* entry, int32_t playlistLength, uint32_t* appended) {
  *appended = 0;
  if (EnterFolder(entry) == 0) return FolderEnqueue::kNotEntered;
  if (RescanCurrentFolder() == 0) return FolderEnqueue::kScanFailed;
  *appended = AppendListedFiles(playlistLength);
  LeaveFolder();
  // Quitting: the tables are about to go, listing the parent would only hold quit up.
  if (QuitRequested() || RescanCurrentFolder() == 0) return FolderEnqueue::kParentScanFailed;
  return FolderEnqueue::kDone;
}

// "F": an unwanted song moved out of the collection into DumpDir. The file is never
// deleted and never moved over another one; the player is stopped first when it holds
// the song, and the playlist is left as it is.
#include <cstdio>
#include <cstring>

#include "base/ascii_text.h"
#include "browse/folder_browser.h"
#include "browse/folder_path.h"
#include "browse/slot_tables.h"
#include "config/settings.h"
#include "files/file_system.h"
#include "files/path_chars.h"
#include "host/host_catalogue.h"
#include "protocol/command.h"
#include "protocol/command_reader.h"
#include "protocol/handlers.h"
#include "protocol/reply_buffer.h"

namespace {

constexpr size_t kDumpPathSize = 260;  // MAX_PATH: 259 characters and the NUL
constexpr uint32_t kDumpAcknowledgeLength = 6;
constexpr uint8_t kDumped = 2;

enum DumpSource : uint8_t { kBrowsedEntry = 0, kPlaylistEntry = 1 };

struct DumpPaths {
  char from[kDumpPathSize];
  char to[kDumpPathSize];
};

bool BrowsedFile(uint32_t index, DumpPaths& paths) {
  if (index >= ListBound(BrowseCount)) return false;
  const char* name = BrowseNames[index];
  if (name[0] == '\0' || name[0] == '\\') return false;  // a folder is never dumped
  return JoinPath(paths.from, sizeof paths.from, CurrentFolder, name) &&
         JoinPath(paths.to, sizeof paths.to, DumpDir, name);
}

bool PlaylistFile(uint32_t index, DumpPaths& paths) {
  const char* path = HostPlaylistFile(static_cast<int32_t>(index));
  if (path == nullptr || path[0] == '\0' || strnlen(path, kDumpPathSize) >= kDumpPathSize) return false;
  std::snprintf(paths.from, sizeof paths.from, "%s", path);
  const char* separator = LastBackslash(paths.from);
  if (separator == nullptr || separator[1] == '\0') return false;
  return JoinPath(paths.to, sizeof paths.to, DumpDir, separator + 1);
}

// Both paths of the file the command names; false when it names none, or they would not fit.
bool PathsFor(uint8_t source, uint32_t index, DumpPaths& paths) {
  if (index >= kMaxListEntries) return false;  // also every negative 16-bit index
  if (source == kBrowsedEntry) return BrowsedFile(index, paths);
  if (source == kPlaylistEntry) return PlaylistFile(index, paths);
  return false;
}

// What can be known without moving: the source is a file, the dump folder is there, and
// the name in it is free or the source's own (a song in the dump folder already). A
// dump refused here leaves the player as it was; only what the move alone finds out (a
// file another program holds open) comes after Stop.
bool MayMove(const DumpPaths& paths) {
  if (KindOfPath(paths.from) != kPathFile || KindOfPath(DumpDir) != kPathFolder) return false;
  return KindOfPath(paths.to) == kPathMissing || EqualIgnoringAsciiCase(paths.from, paths.to);
}

// Stops the player when the song about to move is the current one. An empty playlist
// has no current song. False when the player names no path for its current entry: the
// move could then take a file from under the player.
bool StopIfCurrent(const char* from) {
  if (HostPlaylistLength() <= 0) return true;
  const char* current = HostPlaylistFile(HostPlaylistPosition());
  if (current == nullptr || current[0] == '\0') return false;
  if (std::strcmp(current, from) == 0) HostPress(kButtonStop);
  return true;
}

}  // namespace

void HandleDump(const uint8_t* command) {
  const uint8_t source = SubCommand(command);
  DumpPaths paths;
  if (!PathsFor(source, CommandIndex(command), paths) || !MayMove(paths)) return;
  // A song in the dump folder already is where the dump would put it: nothing to stop
  // the player for, and nothing to move.
  if (EqualIgnoringAsciiCase(paths.from, paths.to)) {
    PostAcknowledge(command, kDumpAcknowledgeLength, kDumped);
    return;
  }
  if (!StopIfCurrent(paths.from) || !MoveFileTo(paths.from, paths.to)) return;
  // The browse lists must no longer offer the moved file; they stay in listing order
  // until the panel chooses the folder list again.
  if (source == kBrowsedEntry && !RescanCurrentFolder()) return;
  PostAcknowledge(command, kDumpAcknowledgeLength, kDumped);
}

// "E": the panel edits the player's playlist. Every edit is made by the player itself
// through its messages; the plug-in keeps no playlist of its own. A completed edit is
// acknowledged and the playlist marked clean, so that the tick does not take the panel's
// own edit for a change made at the player and switch the panel's list.
#include "protocol/playlist_edit.h"

#include "browse/slot_tables.h"
#include "host/host_catalogue.h"
#include "protocol/command.h"
#include "protocol/command_reader.h"
#include "protocol/handlers.h"
#include "protocol/poll_tick.h"
#include "protocol/reply_buffer.h"

namespace {

constexpr uint32_t kEditAcknowledgeLength = 10;  // the command's bytes 0 to 9
constexpr uint8_t kEditDone = 6;
constexpr uint32_t kTargetIndex = 5;             // the second index: where a moved entry goes

enum EditCommand : uint8_t {
  kDelete = 0,
  kMove = 1,
  kAddBrowsed = 2,
  kAddSearchResult = 3,
  kSave = 4,
  kClear = 5,
};

void Acknowledge(const uint8_t* command) {
  PostAcknowledge(command, kEditAcknowledgeLength, kEditDone);
  const int32_t length = HostPlaylistLength();
  PlaylistLength = length >= static_cast<int32_t>(kMaxListEntries) ? static_cast<int32_t>(kMaxListEntries) : length;
  HostMarkPlaylistClean();
}

bool RunEdit(const uint8_t* command) {
  const uint32_t a = CommandIndex(command);
  switch (SubCommand(command)) {
    case kDelete: return DeleteEntry(a);
    case kMove: return MoveEntry(a, CommandIndexAt(command, kTargetIndex));
    case kAddBrowsed: return AddBrowsedEntry(a);
    case kAddSearchResult: return AddSearchResult(a);
    case kSave: return SavePlaylist();
    case kClear: return ClearPlaylist();
    default: return true;  // an edit the plug-in does not know changes nothing, acknowledged
  }
}

}  // namespace

void HandlePlaylistEdit(const uint8_t* command) {
  if (RunEdit(command)) Acknowledge(command);
}

bool DeleteEntry(uint32_t a) {
  if (a >= ListBound(PlaylistLength)) return false;
  HostDeletePlaylistEntry(static_cast<int32_t>(a));
  // The player stops when the song that plays is deleted; Play goes on with the entry
  // that took its place.
  if (a == PlaylistPosition && HostPlayState() == kHostPlaying) HostPress(kButtonPlay);
  return true;
}

bool PositionAfterMove(int32_t a, int32_t b, int32_t p, int32_t* after) {
  if (b <= p && p < a) {
    *after = p + 1;
  } else if (a < p && p <= b) {
    *after = p - 1;
  } else if (p == a) {
    *after = b;  // the current entry itself: the player is told, even when it stayed put
  } else {
    return false;
  }
  return true;
}

bool MoveEntry(uint32_t a, uint32_t b) {
  if (a >= ListBound(PlaylistLength)) return false;
  // A target at or past the end would swap with entries that do not exist: it means the
  // last place, never beyond entry 499 even when the player still reports more after the
  // trim. So a move costs at most 499 swaps.
  const int32_t last = static_cast<int32_t>(ListBound(PlaylistLength)) - 1;
  const int32_t from = static_cast<int32_t>(a);
  const int32_t to = b > static_cast<uint32_t>(last) ? last : static_cast<int32_t>(b);
  for (int32_t i = from; i < to; i++) HostSwapPlaylistEntries(i, i + 1);
  for (int32_t i = from; i > to; i--) HostSwapPlaylistEntries(i, i - 1);
  int32_t after = 0;
  if (PositionAfterMove(from, to, HostPlaylistPosition(), &after)) HostSetPlaylistPosition(after);
  return true;
}

bool ClearPlaylist() {
  HostClearPlaylist();
  HostPress(kButtonStop);
  return true;
}

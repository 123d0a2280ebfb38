// "Q" chooses the list the panel shows; "L" sends it in chunks of titles.
//
// "Q" never moves ListCursor: a panel that wants a new list from its start sends "L"
// sub-command 6 first, and one whose cursor stands beyond a shorter new list gets no
// answer to "L" 0 until it does.
#include <cstring>

#include "browse/folder_browser.h"
#include "browse/folder_path.h"
#include "browse/slot_tables.h"
#include "config/settings.h"
#include "host/host_catalogue.h"
#include "protocol/command_reader.h"
#include "protocol/handlers.h"
#include "protocol/library_search.h"
#include "protocol/list_chunk.h"
#include "protocol/list_state.h"
#include "protocol/poll_tick.h"
#include "protocol/quit_request.h"
#include "protocol/reply_buffer.h"

namespace {

enum ListSub : uint8_t { kUp = 0, kEnter = 1, kRoot = 2, kPlaylist = 3, kSearch = 4 };
enum TransferSub : uint8_t { kNextChunk = 0, kRestart = 6 };

constexpr uint32_t kNoEntry = 0xFFFF;
constexpr uint32_t kQueryAt = 6;
constexpr uint32_t kQuerySize = 20;  // 19 characters and the NUL
constexpr uint8_t kStatusListChosen = 5;
constexpr uint8_t kStatusRestarted = 1;
constexpr uint8_t kStatusEndOfList = 3;
constexpr uint32_t kAcknowledgeLength = 6;

constexpr uint8_t kKindPlaylist = 0;
constexpr uint8_t kKindFolder = 1;
constexpr uint8_t kKindSearch = 2;
constexpr uint8_t kKindNone = 0xFF;  // no list chosen yet

// The table "L" sends, or null. Only one of the three list tables as they exist now:
// the tables are made anew when the plug-in is started again in the same process, and a
// table chosen before that must not be read.
SlotTable ActiveTable() {
  const SlotTable table = ActiveList.table;
  return table == BrowseTitles || table == PlaylistTitles || table == LibraryTitles ? table : nullptr;
}

// The kind of the list "L" sends now, told on every path that sets no new kind, so the
// panel's idea of the list never differs from what it will receive.
uint8_t ActiveKind() {
  const SlotTable table = ActiveTable();
  if (table == nullptr) return kKindNone;
  if (table == PlaylistTitles) return kKindPlaylist;
  return table == LibraryTitles ? kKindSearch : kKindFolder;
}

void Choose(SlotTable table, uint32_t count) { ActiveList = {table, ListBound(count)}; }

// The "Q" reply: like an acknowledgement, the command's own bytes 1, 4 and 5 come back,
// with the transfer letter, status 5 and the list kind.
void PostListReply(const uint8_t* command) {
  uint8_t reply[kAcknowledgeLength];
  std::memcpy(reply, command, sizeof reply);
  reply[0] = 'L';
  reply[2] = kStatusListChosen;
  reply[3] = ActiveKind();
  PostReply(reply, sizeof reply);
}

// Lists CurrentFolder anew, folders first; a failed scan leaves the list kind as it was.
void Rescan() {
  if (!RescanCurrentFolder()) {
    // The list stays, but never longer than what the tables now hold.
    if (ActiveList.table == BrowseTitles && ActiveList.count > BrowseCount) ActiveList.count = BrowseCount;
    return;
  }
  SortBrowseListsFoldersFirst(BrowseNames, BrowseTitles, BrowseCount);
  Choose(BrowseTitles, BrowseCount);
}

// A named entry that is no folder, or no entry at all, rescans without moving.
void EnterAndRescan(const uint8_t* command) {
  CommandReader reader = ReadCommand(command);
  if (CommandIndex(command) != kNoEntry) {
    const uint32_t index = ReadListIndex(&reader, BrowseCount);
    if (!reader.failed) EnterFolder(BrowseNames[index]);
  }
  Rescan();
}

// Slot i is emptied before the player is asked, so an entry it knows no title for shows
// none rather than a title from an earlier list. false when the player reports a negative
// length: then nothing is listed.
bool ReadPlaylistTitles() {
  PlaylistLength = HostPlaylistLength();
  if (PlaylistLength < 0) return false;
  if (PlaylistLength > static_cast<int32_t>(kMaxListEntries)) PlaylistLength = kMaxListEntries;
  uint32_t read = 0;
  for (; read < static_cast<uint32_t>(PlaylistLength) && !QuitRequested(); read++) {
    char* slot = PlaylistTitles[read];
    std::memset(slot, 0, kSlotSize);
    const char* path = HostPlaylistFile(static_cast<int32_t>(read));
    if (path != nullptr && path[0] != '\0') HostGetTag(path, "TITLE", slot, kSlotSize);
    slot[kSlotSize - 1] = '\0';
  }
  Choose(PlaylistTitles, read);
  return true;
}

bool Search(const uint8_t* command) {
  char query[kQuerySize];
  ReadTextField(ReadCommand(command), kQueryAt, query, sizeof query);
  const int32_t found = SearchLibrary(query);
  if (found < 0) return false;
  LibraryResultCount = static_cast<uint32_t>(found);
  Choose(LibraryTitles, LibraryResultCount);
  if (found == 0) {
    std::memset(LibraryTitles[0], 0, kSlotSize);
    std::memcpy(LibraryTitles[0], kNoSearchResults, sizeof kNoSearchResults);
    ActiveList.count = 1;
  }
  return true;
}

// Runs the sub-command; false when it ends at once, without a reply.
bool Select(const uint8_t* command) {
  switch (SubCommand(command)) {
    case kUp:
      if (LeaveFolder() == 0) return false;
      Rescan();
      return true;
    case kEnter: EnterAndRescan(command); return true;
    case kRoot:
      ReturnToRoot();
      Rescan();
      return true;
    case kPlaylist: return ReadPlaylistTitles();
    case kSearch: return Search(command);
    default: return true;
  }
}

void SendNextChunk(const uint8_t* command) {
  const SlotTable table = ActiveTable();
  if (table == nullptr) return;
  const uint32_t count = ListBound(ActiveList.count);
  if (count == 0 || (ListCursor != 0 && (ListCursor == count || ListCursor == kMaxListEntries))) {
    PostAcknowledge(command, kAcknowledgeLength, kStatusEndOfList);
    return;
  }
  if (ListCursor >= count) return;  // the list was replaced by a shorter one
  uint8_t chunk[kChunkSize];
  PackListChunk(chunk, table, count, &ListCursor);
  PostReply(chunk, sizeof chunk);
}

}  // namespace

void HandleListSelect(const uint8_t* command) {
  if (Select(command)) PostListReply(command);
}

void HandleListTransfer(const uint8_t* command) {
  switch (SubCommand(command)) {
    case kRestart:
      ListCursor = 0;
      PostAcknowledge(command, kAcknowledgeLength, kStatusRestarted);
      return;
    case kNextChunk: SendNextChunk(command); return;
    default: return;
  }
}

// "I": a song's details for the panel. Artist, title and year come from the player's
// tag reader, length and bitrate from its media library, the file's type from its name.
// The reply starts as the command's own first 100 bytes; each field written over them.
#include "protocol/song_info.h"

#include <cstring>

#include "base/ascii_text.h"
#include "browse/slot_tables.h"
#include "protocol/command.h"
#include "protocol/command_reader.h"
#include "protocol/entry_paths.h"
#include "protocol/handlers.h"
#include "protocol/poll_tick.h"
#include "protocol/reply_buffer.h"

namespace {

constexpr uint32_t kInfoReplyLength = 100;
constexpr uint32_t kYearSize = 255;

// Reply bytes.
constexpr uint32_t kMinutes = 5;
constexpr uint32_t kSeconds = 6;
constexpr uint32_t kBitrate = 7;
constexpr uint32_t kCentury = 8;
constexpr uint32_t kYearInCentury = 9;
constexpr uint32_t kType = 10;
constexpr uint32_t kTypeLength = 3;
constexpr uint32_t kArtist = 40;
constexpr uint32_t kTitle = 70;
constexpr uint32_t kTagFieldSize = 30;
static_assert(kTitle + kTagFieldSize == kInfoReplyLength);

enum InfoSource : uint8_t { kBrowsedEntry = 0, kPlaylistEntry = 1, kSearchResult = 2 };

uint8_t Low8(int32_t value) { return static_cast<uint8_t>(value & 0xFF); }

// Copies a path that is there and fits; false otherwise.
bool CopyPath(char (&path)[kPathSize], const char* text) {
  if (text == nullptr || text[0] == '\0' || strnlen(text, kPathSize) >= kPathSize) return false;
  std::memcpy(path, text, std::strlen(text) + 1);
  return true;
}

// The song the command names; false when it names none, and nothing is replied. Every
// source is held to its own list's length: past it a slot holds nothing of this list.
bool SongPath(uint8_t source, uint32_t index, char (&path)[kPathSize]) {
  path[0] = '\0';
  switch (source) {
    case kBrowsedEntry:
      return BrowsedEntryPath(path, index) != 0;
    case kPlaylistEntry:
      return index < ListBound(PlaylistLength) && CopyPath(path, HostPlaylistFile(static_cast<int32_t>(index)));
    case kSearchResult:
      return CopyPath(path, LibraryResultPath(index));
    default:
      return true;  // names no song: the player is asked about an empty path
  }
}

void FillYear(const char* path, uint8_t* reply) {
  char year[kYearSize] = {};
  HostGetTag(path, "YEAR", year, sizeof year);
  year[sizeof year - 1] = '\0';
  const int32_t value = ParseDecimal(year);
  reply[kCentury] = Low8(value / 100);
  reply[kYearInCentury] = Low8(value % 100);
}

// Length and bitrate; the list the player hands out is released with the same record.
void FillFromLibrary(const char* path, uint8_t* reply) {
  LibraryItem item = {};
  item.path = path;
  HostFileInfo(&item);
  const char* bitrate = FindExtendedInfo(&item, "BITRATE");
  if (bitrate != nullptr && bitrate[0] != '\0') reply[kBitrate] = Low8(ParseDecimal(bitrate));
  reply[kMinutes] = Low8(item.lengthSeconds / 60);
  reply[kSeconds] = Low8(item.lengthSeconds % 60);
  HostFileInfoRelease(&item);
}

// The first three characters after the path's last dot, NUL-padded.
void FillType(const char* path, uint8_t* reply) {
  const char* dot = std::strrchr(path, '.');
  if (dot == nullptr) return;
  const char* type = dot + 1;
  for (uint32_t i = 0; i < kTypeLength; i++) {
    reply[kType + i] = static_cast<uint8_t>(*type);
    if (*type != '\0') type++;
  }
}

}  // namespace

const char* FindExtendedInfo(const LibraryItem* item, const char* name) {
  if (item == nullptr || item->extendedInfo == nullptr || name == nullptr) return nullptr;
  for (char* const* element = item->extendedInfo; *element != nullptr; element++) {
    if (EqualIgnoringAsciiCase(*element, name)) return *element + std::strlen(name) + 1;
  }
  return nullptr;
}

void HandleSongInfo(const uint8_t* command) {
  const uint32_t index = CommandIndex(command);
  char path[kPathSize];
  if (index >= kMaxListEntries || !SongPath(SubCommand(command), index, path)) return;
  uint8_t reply[kInfoReplyLength];
  std::memcpy(reply, command, sizeof reply);
  HostGetTag(path, "ARTIST", reinterpret_cast<char*>(reply + kArtist), kTagFieldSize);
  HostGetTag(path, "TITLE", reinterpret_cast<char*>(reply + kTitle), kTagFieldSize);
  FillYear(path, reply);
  FillFromLibrary(path, reply);
  FillType(path, reply);
  PostReply(reply, sizeof reply);
}

// "E" 4: the playlist saved as an .m3u file in PlaylistDir, named after the first song's
// title and the moment of saving. CREATE_NEW: a file of that name is never overwritten,
// so a second save within the same second is refused and the first file stays whole.
#include <cstdio>
#include <cstring>

#include "browse/slot_tables.h"
#include "config/settings.h"
#include "files/file_system.h"
#include "files/path_chars.h"
#include "host/host_catalogue.h"
#include "protocol/playlist_edit.h"
#include "protocol/poll_tick.h"

namespace {

// Every line is a path followed by these three bytes: a NUL, then CR LF.
constexpr char kLineEnd[] = {'\0', '\r', '\n'};
// A path the player plays holds up to 259 characters (MAX_PATH with its NUL).
constexpr size_t kMaxEntryPath = 259;

bool HasText(const char* text) { return text != nullptr && text[0] != '\0'; }

// The first song's title, or its path when the player knows none, made fit for a file
// name: false when the path would not fit the title's buffer.
bool ReadListTitle(const char* firstPath, char (&title)[kEditTextSize]) {
  std::memset(title, 0, sizeof title);
  HostGetTag(firstPath, "TITLE", title, sizeof title);
  title[sizeof title - 1] = '\0';
  if (title[0] == '\0') {
    if (strnlen(firstPath, sizeof title) >= sizeof title) return false;
    std::snprintf(title, sizeof title, "%s", firstPath);
  }
  MakeFileNameSafe(title);
  return true;
}

// One whole line per entry while the player gives paths; false when an entry cannot be
// written whole (a path longer than MAX_PATH, which cut would name another file) or a
// write failed: a playlist that leaves a song out is no saved playlist.
bool WriteEntries(OutputFile* file) {
  char line[kMaxEntryPath + sizeof kLineEnd];
  for (int32_t i = 0; i < PlaylistLength && i < static_cast<int32_t>(kMaxListEntries); i++) {
    const char* path = HostPlaylistFile(i);
    if (!HasText(path)) break;  // the playlist ended sooner than the tick saw it
    const size_t length = strnlen(path, kMaxEntryPath + 1);
    if (length > kMaxEntryPath) return false;
    std::memcpy(line, path, length);
    std::memcpy(line + length, kLineEnd, sizeof kLineEnd);
    if (!WriteToFile(file, line, static_cast<uint32_t>(length + sizeof kLineEnd))) return false;
  }
  return true;
}

}  // namespace

// By characters: the second byte of a double-byte character may be that of "\\" or "|",
// and belongs to the character.
void MakeFileNameSafe(char* text) {
  for (char* at = text; *at != '\0'; at += NextPathChar(at) - at) {
    const unsigned char c = static_cast<unsigned char>(*at);
    if (c < 0x20 || std::strchr("\\/:*?\"<>|", c) != nullptr) *at = '_';
  }
}

int FormatPlaylistFileName(char* name, size_t size, const char* folder, const char* title,
                           const LocalTime& time) {
  if (size == 0) return 0;
  const int length = std::snprintf(name, size, "%s%s-%i-%02i-%02i-%02i.%02i.%02i.m3u", folder, title,
                                   static_cast<int>(time.year), static_cast<int>(time.month),
                                   static_cast<int>(time.day), static_cast<int>(time.hour),
                                   static_cast<int>(time.minute), static_cast<int>(time.second));
  if (length >= 0 && static_cast<size_t>(length) < size) return 1;
  name[0] = '\0';
  return 0;
}

bool SavePlaylist() {
  if (PlaylistLength <= 0) return true;  // nothing to save: acknowledged, no file made
  // Without entry 0's path there is neither a title nor a first line to go by.
  const char* first = HostPlaylistFile(0);
  char title[kEditTextSize];
  char name[kEditTextSize];
  if (!HasText(first) || !ReadListTitle(first, title)) return false;
  if (!FormatPlaylistFileName(name, sizeof name, PlaylistDir, title, ReadLocalTime())) return false;
  OutputFile* file = CreateFileFor(name, kCreateNew);
  if (file == nullptr) return false;
  const bool written = WriteEntries(file);
  const bool closed = CloseFile(file) != 0;
  if (written && closed) return true;
  // A file that lacks lines is no saved playlist, and a user would take it for one: it
  // goes, so that the playlist folder holds whole playlists only. CREATE_NEW made it, so
  // it is this save's own file and nothing older.
  DeleteFileAt(name);
  return false;
}

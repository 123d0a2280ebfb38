#include "demo_library.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

std::vector<LibrarySong> g_songs;

bool ReadNumber(const char* text, int32_t* value) {
  if (text[0] == '\0') return false;
  char* end = nullptr;
  errno = 0;
  const long number = std::strtol(text, &end, 10);
  if (*end != '\0' || errno != 0 || number < -2147483647L - 1 || number > 2147483647L) return false;
  *value = static_cast<int32_t>(number);
  return true;
}

std::string Lower(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool Holds(const std::string& haystack, const std::string& lowerNeedle) {
  return Lower(haystack).find(lowerNeedle) != std::string::npos;
}

}  // namespace

bool ParseLibraryRow(char** fields, LibrarySong* song) {
  for (size_t i = 0; i < kLibraryRowFields; i++) {
    if (fields[i][0] == '\0') return false;
  }
  song->path = fields[0];
  song->title = fields[1];
  song->artist = fields[2];
  return ReadNumber(fields[3], &song->year) && ReadNumber(fields[4], &song->bitrate) &&
         ReadNumber(fields[5], &song->seconds);
}

size_t SplitLibraryLine(char* line, char** fields) {
  size_t count = 0;
  for (char* field = line; count <= kLibraryRowFields;) {
    fields[count++] = field;
    char* tab = std::strchr(field, '\t');
    if (tab == nullptr) break;
    *tab = '\0';
    field = tab + 1;
  }
  return count;
}

bool AddLibrarySong(const LibrarySong& song) {
  for (LibrarySong& known : g_songs) {
    if (known.path == song.path) {
      known = song;
      return true;
    }
  }
  if (g_songs.size() >= kMaxLibrarySongs) return false;
  g_songs.push_back(song);
  return true;
}

size_t LibrarySongCount() { return g_songs.size(); }

std::vector<const LibrarySong*> FindLibrarySongs(const char* text, size_t limit) {
  std::vector<const LibrarySong*> found;
  const std::string needle = Lower(text);
  for (const LibrarySong& song : g_songs) {
    if (found.size() >= limit) break;
    if (Holds(song.title, needle) || Holds(song.artist, needle)) found.push_back(&song);
  }
  return found;
}

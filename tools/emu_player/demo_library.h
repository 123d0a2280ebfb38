// The media library's own songs: rows loaded with "library" or "library-file", each a
// file with its title, artist, year, bitrate and length. A search that no "result" rows
// answer looks for its text in their titles and artists, as a user's library would.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr size_t kLibraryRowFields = 6;  // path title artist year bitrate seconds
constexpr size_t kMaxLibrarySongs = 5000;

struct LibrarySong {
  std::string path, title, artist;
  int32_t year = 0;
  int32_t bitrate = 0;  // kbit/s
  int32_t seconds = 0;
};

// The six fields of a row; false when one is empty or a number is not a number.
bool ParseLibraryRow(char** fields, LibrarySong* song);
// Cuts a TAB-separated line into at most kLibraryRowFields + 1 fields; returns the count.
size_t SplitLibraryLine(char* line, char** fields);

// False when the library is full. A second row for the same path replaces the first.
bool AddLibrarySong(const LibrarySong& song);
size_t LibrarySongCount();
// The songs whose title or artist holds text, letter case ignored, in the order they
// were added; at most limit of them.
std::vector<const LibrarySong*> FindLibrarySongs(const char* text, size_t limit);

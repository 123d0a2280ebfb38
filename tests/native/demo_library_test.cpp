// The emulated player's media library of songs: rows read from text, and searches by
// title and artist.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "demo_library.h"

namespace {

std::vector<std::string> Titles(const char* text, size_t limit = 500) {
  std::vector<std::string> titles;
  for (const LibrarySong* song : FindLibrarySongs(text, limit)) titles.push_back(song->title);
  return titles;
}

bool ParseLine(const char* text, LibrarySong* song) {
  char line[256];
  std::snprintf(line, sizeof line, "%s", text);
  char* fields[kLibraryRowFields + 1];
  return SplitLibraryLine(line, fields) == kLibraryRowFields && ParseLibraryRow(fields, song);
}

}  // namespace

TEST(DemoLibrary, ReadsRowsAndRefusesBrokenOnes) {
  struct Case {
    const char* line;
    bool ok;
    const char* fault;
  };
  const Case cases[] = {
      {"Z:\\m\\a.mp3\tPolar Dawn\tAurora Lane\t2004\t192\t221", true, "a whole row must load"},
      {"Z:\\m\\a.mp3\tPolar Dawn\tAurora Lane\t2004\t192", false, "a missing length must not read past the row"},
      {"Z:\\m\\a.mp3\tPolar Dawn\tAurora Lane\t2004\t192\t221\textra", false, "an extra field must not be dropped"},
      {"Z:\\m\\a.mp3\t\tAurora Lane\t2004\t192\t221", false, "an empty title is a broken row"},
      {"Z:\\m\\a.mp3\tPolar Dawn\tAurora Lane\t20x4\t192\t221", false, "a year must be a number"},
      {"Z:\\m\\a.mp3\tPolar Dawn\tAurora Lane\t2004\t192\t99999999999", false, "a length beyond 32 bits"},
  };
  LibrarySong song;
  for (const Case& c : cases) EXPECT_EQ(ParseLine(c.line, &song), c.ok) << c.fault;
  ASSERT_TRUE(ParseLine(cases[0].line, &song));
  const LibrarySong expected = {"Z:\\m\\a.mp3", "Polar Dawn", "Aurora Lane", 2004, 192, 221};
  EXPECT_EQ(std::tie(song.path, song.title, song.artist, song.year, song.bitrate, song.seconds),
            std::tie(expected.path, expected.title, expected.artist, expected.year, expected.bitrate, expected.seconds));
}

TEST(DemoLibrary, FindsTitlesAndArtistsByAnyPartInAnyCase) {
  const LibrarySong songs[] = {
      {"p1", "Polar Dawn", "Aurora Lane", 2004, 192, 221},
      {"p2", "Tin Roof Rain", "The Copper Kettles", 1998, 160, 232},
      {"p3", "Copper Sky", "The Copper Kettles", 1998, 160, 276},
      {"p2", "Tin Roof Rain (live)", "The Copper Kettles", 1999, 160, 240},  // the same file again
  };
  for (const LibrarySong& s : songs) ASSERT_TRUE(AddLibrarySong(s));
  EXPECT_EQ(LibrarySongCount(), 3u) << "a second row for a file must replace the first";
  struct Case {
    const char* text;
    size_t limit;
    std::vector<std::string> titles;
    const char* fault;
  };
  const Case cases[] = {
      {"kettles", 500, {"Tin Roof Rain (live)", "Copper Sky"}, "an artist's part must find the artist's songs"},
      {"ROOF", 500, {"Tin Roof Rain (live)"}, "letter case must not matter"},
      {"copper", 500, {"Tin Roof Rain (live)", "Copper Sky"}, "a title or an artist, each song once"},
      {"", 2, {"Polar Dawn", "Tin Roof Rain (live)"}, "no more songs than asked for"},
      {"jazz", 500, {}, "nothing matches: no results"},
  };
  for (const Case& c : cases) EXPECT_EQ(Titles(c.text, c.limit), c.titles) << c.fault;
}

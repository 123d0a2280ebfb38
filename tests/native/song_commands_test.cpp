// "I" and "F": the song-information reply byte by byte, the extended-information lookup,
// and the dump's moves and refusals, through the fake player and file system.
#include "handler_world.h"
#include "protocol/song_info.h"

namespace {

class SongCommands : public HandlerWorld {
 protected:
  static Bytes Info(uint8_t source, uint32_t index) {
    HandleSongInfo(Command('I', source, index).data());
    EXPECT_TRUE(Host.infoLists.empty()) << "every list handed out is released";
    EXPECT_TRUE(Host.infoMisuse.empty()) << "released once, with the record it went into";
    return TakeReply();
  }
  // Runs "F"; true when it was acknowledged with status 2.
  static bool Dump(uint8_t source, uint32_t index) {
    const Bytes command = Command('F', source, index);
    HandleDump(command.data());
    const Bytes reply = TakeReply();
    if (!reply.empty()) EXPECT_EQ(reply, Acknowledgement(command, 6, 2));
    return !reply.empty();
  }
};

TEST_F(SongCommands, InfoReplyCarriesLengthBitrateYearAndType) {
  const struct {
    const char* path;
    int32_t seconds;
    std::vector<std::pair<std::string, std::string>> extended;
    const char* year;
    Bytes bytes5to12;  // 0xA7 and 0xAA on: the command's own bytes, left alone
  } cases[] = {
      {"C:\\M\\a.mp3", 245, {{"BITRATE", "128"}}, "2005", {4, 5, 128, 20, 5, 'm', 'p', '3'}},
      {"C:\\M\\b.mp3", 245, {{"bitrate", "320"}}, "2005", {4, 5, 64, 20, 5, 'm', 'p', '3'}},
      {"C:\\M\\track.flac", 60, {}, "1999", {1, 0, 0xA7, 19, 99, 'f', 'l', 'a'}},
      {"C:\\M\\a.ra", -1, {{"BITRATE2", "99"}, {"BITRATE", ""}}, "", {0, 0xFF, 0xA7, 0, 0, 'r', 'a', 0}},
      {"C:\\M\\noext", 0, {}, " -2005x", {0, 0, 0xA7, 0xEC, 0xFB, 0xAA, 0xAB, 0xAC}},
  };
  for (const auto& c : cases) {
    const std::string p = c.path;
    Playlist({p});
    Host.fileInfo[p] = {c.seconds, c.extended};
    Host.tags = {{p + "|YEAR", c.year}, {p + "|ARTIST", std::string(40, 'A')}};
    Host.titles[p] = "Song";
    const Bytes reply = Info(1, 0);
    ASSERT_EQ(reply.size(), 100u) << p;
    EXPECT_EQ(Bytes(reply.begin(), reply.begin() + 5), Bytes({'I', 0x77, 1, 0, 0})) << p;
    EXPECT_EQ(Bytes(reply.begin() + 5, reply.begin() + 13), c.bytes5to12) << p;
    EXPECT_EQ(reply[13], 0xAD) << p;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&reply[40])), std::string(29, 'A')) << "cut to its field";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&reply[70])), "Song");
    EXPECT_EQ(Host.calls, (Strings{"211 0", "296 " + p + " ARTIST 30", "296 " + p + " TITLE 30", "296 " + p + " YEAR 255",
                                   "library 0x200 " + p, "library 0x201 " + p}));
  }
}

TEST_F(SongCommands, FindExtendedInfoIgnoresOnlyAsciiCase) {
  char e0[] = "BITRATE2\0" "7", e1[] = "bitrate\0" "128", e2[] = "BITRATE\0" "999", e3[] = "\xC4x\0latin";
  char* list[] = {e0, e1, e2, e3, nullptr};
  LibraryItem item = {};
  item.extendedInfo = list;
  const std::pair<const char*, const char*> cases[] = {
      {"BITRATE", "128"}, {"BITRATE2", "7"}, {"bitrat", nullptr}, {"\xC4X", "latin"}, {"\xE4x", nullptr}, {"", nullptr}};
  for (const auto& [name, value] : cases) EXPECT_STREQ(FindExtendedInfo(&item, name), value) << name;
  list[0] = nullptr;
  EXPECT_EQ(FindExtendedInfo(&item, "BITRATE"), nullptr) << "an empty list";
  item.extendedInfo = nullptr;
  EXPECT_EQ(FindExtendedInfo(&item, "BITRATE"), nullptr) << "no list";
}

TEST_F(SongCommands, InfoAnswersOnlyForASongTheCommandNames) {
  Files.AddFile("C:\\Music\\one.mp3");
  Scan();
  std::snprintf(LibraryPaths[0], kSlotSize, "C:\\Music\\old.mp3");
  Playlist({"C:\\Music\\one.mp3", ""});
  const struct {
    uint8_t source;
    uint32_t index;
    size_t length;
  } cases[] = {{2, 0, 0} /* no results: the placeholder */, {1, 2, 0}, {1, 1, 0} /* no path */, {0, 3, 0},
               {0, 500, 0}, {0, 0, 100}, {1, 0, 100}};
  for (const auto& c : cases) EXPECT_EQ(Info(c.source, c.index).size(), c.length) << int(c.source) << " " << c.index;
  Host.calls.clear();
  EXPECT_EQ(Info(7, 0).size(), 100u) << "an unknown source is answered";
  EXPECT_EQ(Host.calls.front(), "296  ARTIST 30") << "about an empty path, never an earlier one";
}

TEST_F(SongCommands, DumpMovesTheFileAndListsTheFolderAgain) {
  Files.AddFile("C:\\Music\\one.mp3", "song");
  Files.AddFile("C:\\Music\\two.wav");
  Files.AddFile("C:\\Music\\Sub\\three.mp3");
  Scan();
  Playlist({"C:\\Music\\two.wav", "C:\\Music\\one.mp3"}, 1);
  bool stoppedFirst = false;
  Files.beforeMove = [&] { stoppedFirst = !Host.CallsStartingWith("press 40047").empty(); };
  EXPECT_TRUE(Dump(0, BrowseIndex("one.mp3")));
  EXPECT_TRUE(stoppedFirst) << "the current song is stopped before its file moves";
  EXPECT_EQ(Files.Content("C:\\Music\\QB_Dumped\\one.mp3"), "song");
  EXPECT_EQ(BrowseList(), (Strings{"\\QB_Dumped", "\\QB_Playlists", "\\Sub", "two.wav"}));
  Playlist({});
  EXPECT_TRUE(Dump(0, BrowseIndex("two.wav"))) << "an empty playlist has no current song to check";
  EXPECT_EQ(Host.calls, (Strings{"124"}));
  Playlist({"C:\\Music\\Sub\\three.mp3", "C:\\Music\\x.mp3"}, 1);
  EXPECT_TRUE(Dump(1, 0));
  EXPECT_TRUE(Files.Exists("C:\\Music\\QB_Dumped\\three.mp3"));
  EXPECT_TRUE(Host.CallsStartingWith("press").empty()) << "not the current song: the player goes on";
  EXPECT_TRUE(Files.CallsStartingWith("list").empty()) << "a playlist dump lists no folder";
}

// A name whose second byte is that of a backslash (Japanese code page) is the song's
// whole name, not the part behind that byte.
TEST_F(SongCommands, ADumpedSongKeepsANameWhoseSecondByteIsABackslash) {
  Files.codePage = 932;
  const std::string song = "C:\\Music\\x\x95\x5C.mp3";
  Files.AddFile(song, "song");
  Playlist({"C:\\Music\\other.mp3", song}, 0);
  EXPECT_TRUE(Dump(1, 1));
  EXPECT_EQ(Files.Content("C:\\Music\\QB_Dumped\\x\x95\x5C.mp3"), "song");
}

// A song in the dump folder already is acknowledged as dumped, and neither stopped (the
// player would halt for nothing) nor moved, also when it is the current song.
TEST_F(SongCommands, DumpOfASongInTheDumpFolderNeitherStopsNorMovesIt) {
  Files.AddFile("C:\\Music\\QB_Dumped\\one.mp3", "song");
  SetFolder(CurrentFolder, "C:\\Music\\QB_Dumped\\");
  Scan();
  const struct {
    Strings playlist;
    uint8_t source;
    const char* fault;
  } cases[] = {
      {{"C:\\Music\\QB_Dumped\\one.mp3"}, 0, "the dump folder browsed, its song playing"},
      {{"C:\\Music\\QB_Dumped\\one.mp3"}, 1, "a playlist entry added from the dump folder"},
      {{"c:\\music\\qb_dumped\\ONE.MP3"}, 1, "the same file in other letter case"},
  };
  for (const auto& c : cases) {
    Playlist(c.playlist);
    Files.calls.clear();
    EXPECT_TRUE(Dump(c.source, 0)) << c.fault;
    EXPECT_TRUE(Host.CallsStartingWith("press").empty()) << c.fault;
    EXPECT_TRUE(Files.CallsStartingWith("move").empty()) << c.fault;
    EXPECT_EQ(Files.Content("C:\\Music\\QB_Dumped\\one.mp3"), "song") << c.fault;
  }
}

// A refused dump moves nothing and leaves the player as it was: the current song, when
// it is the one named, is stopped only for a move that can go ahead.
TEST_F(SongCommands, DumpRefusesWhatNamesNoFileAndMovesNothing) {
  for (const char* file : {"one.mp3", "a-rather-long-name.mp3", "QB_Dumped\\two.mp3", "two.mp3", "Album\\x.mp3"}) {
    Files.AddFile(std::string("C:\\Music\\") + file);
  }
  Scan();
  const uint32_t one = BrowseIndex("one.mp3");
  const struct {
    Strings playlist;
    uint8_t source;
    uint32_t index;
    const char* fault;
  } cases[] = {
      {{}, 0, 500, "index 500"},
      {{}, 1, 0xFFFF, "a negative 16-bit index"},
      {{}, 0, BrowseCount, "past the browse list"},
      {{}, 0, BrowseIndex("\\QB_Dumped"), "a folder entry"},
      {{}, 2, 0, "a search result is never dumped"},
      {{"C:\\Music\\one.mp3"}, 1, 1, "no path for the entry"},
      {{"one.mp3"}, 1, 0, "a path without a folder"},
      {{"C:\\Music\\"}, 1, 0, "a path without a file name"},
      {{"C:\\Music\\x.mp3", ""}, 0, one, "the current entry has no path"},
      {{"C:\\Music\\two.mp3"}, 0, BrowseIndex("two.mp3"), "a file of that name is in the dump folder already"},
      {{"C:\\Music\\two.mp3"}, 1, 0, "the same, from the playlist"},
      {{"C:\\Music\\Album"}, 1, 0, "a playlist entry that names a folder was once refused only after Stop"},
      {{"C:\\Music\\gone.mp3"}, 1, 0, "a playlist entry whose file is missing"},
      {{"C:\\Music\\" + std::string(245, 'n') + ".mp3"}, 1, 0, "the dump folder and the name exceed 259 characters"},
  };
  for (const auto& c : cases) {
    Playlist(c.playlist, c.playlist.empty() ? 0 : static_cast<int32_t>(c.playlist.size()) - 1);
    EXPECT_FALSE(Dump(c.source, c.index)) << c.fault;
    EXPECT_TRUE(Files.Exists("C:\\Music\\one.mp3") && Files.Exists("C:\\Music\\two.mp3")) << c.fault;
    EXPECT_TRUE(Files.Exists("C:\\Music\\Album\\x.mp3")) << c.fault;
    EXPECT_TRUE(Files.CallsStartingWith("list").empty()) << c.fault;
    EXPECT_TRUE(Host.CallsStartingWith("press").empty()) << c.fault;
  }
  SetFolder(DumpDir, "C:\\Music\\Gone\\");
  Playlist({"C:\\Music\\one.mp3"});
  EXPECT_FALSE(Dump(1, 0)) << "no dump folder";
  EXPECT_TRUE(Host.CallsStartingWith("press").empty()) << "no dump folder: the player goes on";
  SetFolder(DumpDir, "C:\\Music\\QB_Dumped\\" + std::string(230, 'd') + "\\");
  Playlist({});
  EXPECT_FALSE(Dump(0, BrowseIndex("a-rather-long-name.mp3"))) << "a destination too long for its buffer";
  EXPECT_TRUE(Files.calls.empty()) << "is never cut into another name";
  SetFolder(DumpDir, "C:\\Music\\QB_Dumped\\");
  Files.failMove = true;
  Playlist({"C:\\Music\\one.mp3"});
  EXPECT_FALSE(Dump(0, one)) << "a failed move";
  EXPECT_EQ(Host.CallsStartingWith("press"), Strings{"press 40047"}) << "only the move found it out, after Stop";
  Files.failMove = false;
  Files.listingFailsAfter = 0;
  EXPECT_FALSE(Dump(0, one)) << "moved, but the folder cannot be listed again";
  EXPECT_TRUE(Files.Exists("C:\\Music\\QB_Dumped\\one.mp3"));
}

}  // namespace

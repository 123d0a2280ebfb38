// "I" and "F": the song-information reply byte by byte, the extended-information lookup,
// and the dump's moves and refusals, through the fake player and file system.
#include "handler_world.h"
#include "protocol/song_info.h"

namespace {

class SongCommands : public HandlerWorld {
 protected:
  static Bytes Info(uint8_t source, uint32_t index) {
    TakeReply();
    const Bytes command = Command('I', source, index);
    HandleSongInfo(command.data());
    EXPECT_TRUE(Host.infoLists.empty()) << "every list handed out is released";
    EXPECT_TRUE(Host.infoMisuse.empty()) << "released once, with the record it went into";
    return TakeReply();
  }
  // Runs "F"; true when it was acknowledged with status 2.
  static bool Dump(uint8_t source, uint32_t index) {
    TakeReply();
    const Bytes command = Command('F', source, index);
    HandleDump(command.data());
    const Bytes reply = TakeReply();
    if (reply.empty()) return false;
    EXPECT_EQ(reply, Acknowledgement(command, 6, 2));
    return true;
  }
};

TEST_F(SongCommands, InfoReplyCarriesLengthBitrateYearAndType) {
  using Extended = std::vector<std::pair<std::string, std::string>>;
  struct Case {
    const char* path;
    int32_t seconds;
    Extended extended;
    const char* year;
    Bytes bytes5to12;
  } cases[] = {
      {"C:\\M\\a.mp3", 245, {{"BITRATE", "128"}}, "2005", {4, 5, 128, 20, 5, 'm', 'p', '3'}},
      {"C:\\M\\b.mp3", 245, {{"bitrate", "320"}}, "2005", {4, 5, 64, 20, 5, 'm', 'p', '3'}},  // low 8 bits
      {"C:\\M\\track.flac", 60, {}, "1999", {1, 0, 0xA7, 19, 99, 'f', 'l', 'a'}},  // no bitrate: the command's byte
      {"C:\\M\\a.ra", -1, {{"BITRATE2", "99"}, {"BITRATE", ""}}, nullptr, {0, 0xFF, 0xA7, 0, 0, 'r', 'a', 0}},
      {"C:\\M\\noext", 0, {}, " -2005x", {0, 0, 0xA7, 0xEC, 0xFB, 0xAA, 0xAB, 0xAC}},  // no dot: no type written
  };
  for (const Case& c : cases) {
    Playlist({c.path});
    Host.fileInfo[c.path] = {c.seconds, c.extended};
    if (c.year) Host.tags[std::string(c.path) + "|YEAR"] = c.year;
    Host.tags[std::string(c.path) + "|ARTIST"] = std::string(40, 'A');
    Host.titles[c.path] = "Song";
    const Bytes reply = Info(1, 0);
    ASSERT_EQ(reply.size(), 100u) << c.path;
    EXPECT_EQ(Bytes(reply.begin() + 5, reply.begin() + 13), c.bytes5to12) << c.path;
    EXPECT_EQ(Bytes(reply.begin(), reply.begin() + 5), Bytes({'I', 0x77, 1, 0, 0})) << c.path;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&reply[40])), std::string(29, 'A')) << "cut by the player to its field";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&reply[70])), "Song");
    EXPECT_EQ(reply[13], 0xAD) << "a byte no field covers is the command's";
    const std::string p = c.path;
    EXPECT_EQ(Host.calls, (Strings{"211 0", "296 " + p + " ARTIST 30", "296 " + p + " TITLE 30", "296 " + p + " YEAR 255",
                                   "library 0x200 " + p, "library 0x201 " + p}));
  }
}

TEST_F(SongCommands, FindExtendedInfoIgnoresOnlyAsciiCase) {
  char e0[] = "BITRATE2\0" "7", e1[] = "Genre\0Rock", e2[] = "bitrate\0" "128", e3[] = "BITRATE\0" "999",
       e4[] = "\xC4x\0latin";
  char* list[] = {e0, e1, e2, e3, e4, nullptr};
  LibraryItem item = {};
  item.extendedInfo = list;
  const struct {
    const char* name;
    const char* value;
  } cases[] = {{"BITRATE", "128"}, {"GENRE", "Rock"}, {"genr", nullptr}, {"BITRATE2", "7"},
               {"\xC4X", "latin"}, {"\xE4x", nullptr} /* only A to Z have a case */, {"", nullptr}};
  for (const auto& c : cases) {
    const char* found = FindExtendedInfo(&item, c.name);
    EXPECT_STREQ(found, c.value) << c.name;
  }
  char* empty[] = {nullptr};
  item.extendedInfo = empty;
  EXPECT_EQ(FindExtendedInfo(&item, "BITRATE"), nullptr);
  item.extendedInfo = nullptr;
  EXPECT_EQ(FindExtendedInfo(&item, "BITRATE"), nullptr);
}

TEST_F(SongCommands, InfoAnswersOnlyForASongTheCommandNames) {
  Files.AddFile("C:\\Music\\one.mp3");
  Scan();
  std::snprintf(LibraryPaths[0], kSlotSize, "C:\\Music\\old.mp3");
  Playlist({"C:\\Music\\one.mp3", ""});
  EXPECT_EQ(Info(2, 0).size(), 0u) << "no search results: the placeholder names no song";
  LibraryResultCount = 1;
  EXPECT_EQ(Info(2, 0).size(), 100u);
  EXPECT_EQ(Info(2, 1).size(), 0u) << "past the results";
  EXPECT_EQ(Info(1, 2).size(), 0u) << "past the playlist";
  EXPECT_EQ(Info(1, 1).size(), 0u) << "an entry without a path";
  EXPECT_EQ(Info(0, BrowseCount).size(), 0u) << "past the browse list";
  EXPECT_EQ(Info(0, 500).size(), 0u);
  EXPECT_EQ(Info(0, BrowseIndex("one.mp3")).size(), 100u);
  Host.calls.clear();
  EXPECT_EQ(Info(7, 0).size(), 100u) << "an unknown source is answered";
  EXPECT_EQ(Host.calls.front(), "296  ARTIST 30") << "about an empty path, never an earlier one";
}

TEST_F(SongCommands, DumpMovesTheFileAndListsTheFolderAgain) {
  Files.AddFile("C:\\Music\\one.mp3", "song");
  Files.AddFile("C:\\Music\\two.wav");
  Scan();
  Playlist({"C:\\Music\\two.wav", "C:\\Music\\one.mp3"}, 1);
  bool stoppedFirst = false;
  Files.beforeMove = [&] { stoppedFirst = !Host.CallsStartingWith("press 40047").empty(); };
  EXPECT_TRUE(Dump(0, BrowseIndex("one.mp3")));
  EXPECT_TRUE(stoppedFirst) << "the current song is stopped before its file moves";
  EXPECT_EQ(Files.Content("C:\\Music\\QB_Dumped\\one.mp3"), "song");
  EXPECT_EQ(BrowseList(), (Strings{"\\QB_Dumped", "\\QB_Playlists", "two.wav"}));

  Playlist({});  // nothing current: nothing to stop, and the dump goes ahead
  EXPECT_TRUE(Dump(0, BrowseIndex("two.wav")));
  EXPECT_TRUE(Host.CallsStartingWith("press").empty());
  EXPECT_EQ(Host.calls, (Strings{"124"}));
  Files.AddFile("C:\\Music\\Sub\\three.mp3");
  Playlist({"C:\\Music\\Sub\\three.mp3", "C:\\Music\\x.mp3"}, 1);
  EXPECT_TRUE(Dump(1, 0));
  EXPECT_TRUE(Files.Exists("C:\\Music\\QB_Dumped\\three.mp3"));
  EXPECT_TRUE(Host.CallsStartingWith("press").empty()) << "not the current song: the player goes on";
  EXPECT_TRUE(Files.CallsStartingWith("list").empty()) << "a playlist dump does not list the folder";
}

TEST_F(SongCommands, DumpRefusesWhatNamesNoFileAndMovesNothing) {
  Files.AddFile("C:\\Music\\one.mp3");
  Files.AddFile("C:\\Music\\a-rather-long-name.mp3");
  Files.AddFile("C:\\Music\\QB_Dumped\\two.mp3");
  Files.AddFile("C:\\Music\\two.mp3");
  Scan();
  const uint32_t one = BrowseIndex("one.mp3");
  const std::string longName = std::string(245, 'n') + ".mp3";  // fits its folder, not the dump folder
  struct Case {
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
      {{}, 0, BrowseIndex("two.mp3"), "a file of that name is in the dump folder already"},
      {{"C:\\Music\\" + longName}, 1, 0, "the dump folder and the name exceed 259 characters"},
  };
  for (const Case& c : cases) {
    Playlist(c.playlist, c.playlist.empty() ? 0 : static_cast<int32_t>(c.playlist.size()) - 1);
    EXPECT_FALSE(Dump(c.source, c.index)) << c.fault;
    EXPECT_TRUE(Files.Exists("C:\\Music\\one.mp3") && Files.Exists("C:\\Music\\two.mp3")) << c.fault;
    EXPECT_TRUE(Files.CallsStartingWith("list").empty()) << c.fault;
  }
  SetFolder(DumpDir, "C:\\Music\\QB_Dumped\\" + std::string(230, 'd') + "\\");
  Playlist({});
  EXPECT_FALSE(Dump(0, BrowseIndex("a-rather-long-name.mp3"))) << "a destination too long for its buffer";
  EXPECT_TRUE(Files.calls.empty()) << "is never cut into another name";
  SetFolder(DumpDir, "C:\\Music\\QB_Dumped\\");
  Files.failMove = true;
  EXPECT_FALSE(Dump(0, one)) << "a failed move";
  Files.failMove = false;
  Files.listingFailsAfter = 0;
  EXPECT_FALSE(Dump(0, one)) << "moved, but the folder cannot be listed again";
  EXPECT_TRUE(Files.Exists("C:\\Music\\QB_Dumped\\one.mp3"));
}

}  // namespace

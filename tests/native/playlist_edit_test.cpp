// "E": the edits made through the fake player and file system, and their acknowledgement.
#include "handler_world.h"

namespace {

class PlaylistEdit : public HandlerWorld {
 protected:
  // Runs "E" sub-command sub; true when it was acknowledged with the command's 10 bytes.
  static bool Edit(uint8_t sub, uint32_t a = 0, uint32_t b = 0) {
    TakeReply();
    const Bytes command = Command('E', sub, a, b);
    HandlePlaylistEdit(command.data());
    const Bytes reply = TakeReply();
    if (reply.empty()) return false;
    EXPECT_EQ(reply, Acknowledgement(command, 10, 6));
    return true;
  }
  static Strings Numbered(int n, const std::string& prefix = "C:\\Music\\") {
    Strings files;
    for (int i = 0; i < n; i++) files.push_back(prefix + std::to_string(i) + ".mp3");
    return files;
  }
};

TEST_F(PlaylistEdit, MoveSwapsNeighboursAndKeepsTheCurrentSongCurrent) {
  struct Case {
    uint32_t a, b;
    int32_t position;
    Strings swaps;
    int32_t after;
    const char* fault;
  } cases[] = {
      {2, 5, 4, {"swap 2 3", "swap 3 4", "swap 4 5"}, 3, "the current song stepped back to make room"},
      {5, 2, 3, {"swap 5 4", "swap 4 3", "swap 3 2"}, 4, "the current song stepped on to make room"},
      {3, 7, 3, {"swap 3 4", "swap 4 5", "swap 5 6", "swap 6 7"}, 7, "the current song went with its entry"},
      {6, 8, 3, {"swap 6 7", "swap 7 8"}, 3, "a move behind the current song leaves it"},
      {4, 4, 4, {}, 4, "no move, no swap"},
      {7, 600, 2, {"swap 7 8", "swap 8 9"}, 2, "a target past the end means the last place"},
      {2, 65535, 9, {"swap 2 3", "swap 3 4", "swap 4 5", "swap 5 6", "swap 6 7", "swap 7 8", "swap 8 9"}, 8,
       "the largest target swaps no further than the last entry"},
  };
  for (const Case& c : cases) {
    Playlist(Numbered(10), c.position);
    EXPECT_TRUE(Edit(1, c.a, c.b)) << c.fault;
    EXPECT_EQ(Host.CallsStartingWith("swap"), c.swaps) << c.fault;
    EXPECT_EQ(Host.position, c.after) << c.fault;
    EXPECT_EQ(Host.CallsStartingWith("121").size(), c.after != c.position ? 1u : 0u) << c.fault;
    const size_t target = c.b > 9 ? 9 : c.b;
    EXPECT_EQ(Host.files[target], Numbered(10)[c.a]) << c.fault;
  }
  Playlist(Numbered(10));
  EXPECT_FALSE(Edit(1, 10, 0)) << "an entry past the end moves nothing";
  Playlist({});
  EXPECT_FALSE(Edit(1, 0, 0)) << "nothing to move in an empty playlist";
  EXPECT_TRUE(Host.CallsStartingWith("swap").empty());
}

TEST_F(PlaylistEdit, DeletePressesPlayOnlyForTheSongThatPlays) {
  struct Case {
    int entries;
    uint32_t a;
    int32_t state;
    bool acked, play;
    const char* fault;
  } cases[] = {
      {5, 2, 1, true, true, "the playing song deleted: the next one plays"},
      {5, 2, 3, true, false, "paused: the player stays paused"},
      {5, 1, 1, true, false, "another entry: the song plays on untouched"},
      {5, 5, 1, false, false, "past the end"},
      {0, 0, 1, false, false, "an empty playlist"},
  };
  for (const Case& c : cases) {
    Playlist(Numbered(c.entries), 2);
    Host.playState = c.state;
    EXPECT_EQ(Edit(0, c.a), c.acked) << c.fault;
    EXPECT_EQ(Host.CallsStartingWith("delete").size(), c.acked ? 1u : 0u) << c.fault;
    EXPECT_EQ(Host.CallsStartingWith("press 40045").size(), c.play ? 1u : 0u) << c.fault;
  }
}

TEST_F(PlaylistEdit, TheAcknowledgementRereadsTheLengthAndMarksThePlaylistClean) {
  Playlist(Numbered(620));
  EXPECT_TRUE(Edit(9, 0x0102, 0x0304)) << "an unknown edit is acknowledged";
  EXPECT_EQ(Host.calls, (Strings{"124", "108"}));
  EXPECT_EQ(PlaylistLength, 500);
  Playlist(Numbered(3));
  EXPECT_TRUE(Edit(5));
  EXPECT_EQ(Host.calls, (Strings{"101", "press 40047", "124", "108"}));
  EXPECT_EQ(PlaylistLength, 0);
}

TEST_F(PlaylistEdit, AddingAFolderAddsItsPlayableFilesInListingOrderAndListsTheParentAgain) {
  Files.AddFile("C:\\Music\\one.mp3");
  for (const char* name : {"CD1\\x.mp3", "cd2\\y.mp3", "Extras\\z.mp3", "a.mp3", "b.wav", "c.txt", "d.mp3", "e.MP3"}) {
    Files.AddFile(std::string("C:\\Music\\Album\\") + name);
  }
  Scan();
  ASSERT_EQ(SortBrowseListsFoldersFirst(BrowseNames, BrowseTitles, BrowseCount), 1);  // as the panel saw it
  Playlist({});
  EXPECT_TRUE(Edit(2, BrowseIndex("\\Album")));
  const std::string album = "copydata C:\\Music\\Album\\";
  EXPECT_EQ(Host.CallsStartingWith("copydata"), (Strings{album + "a.mp3", album + "b.wav", album + "d.mp3", album + "e.MP3"}));
  EXPECT_STREQ(CurrentFolder, "C:\\Music\\");
  EXPECT_EQ(BrowseList(), (Strings{"\\Album", "one.mp3", "\\QB_Dumped", "\\QB_Playlists"})) << "listing order";

  Playlist(Numbered(498));
  EXPECT_TRUE(Edit(2, BrowseIndex("\\Album")));
  EXPECT_EQ(Host.CallsStartingWith("copydata").size(), 2u) << "j + 498 < 500: the first two listed";
  Playlist(Numbered(500));
  EXPECT_FALSE(Edit(2, BrowseIndex("one.mp3"))) << "a full playlist takes no 501st song";
  Playlist({});
  QuitAfterChecks = 0;
  EXPECT_FALSE(Edit(2, BrowseIndex("\\Album")));
  EXPECT_TRUE(Host.CallsStartingWith("copydata").empty()) << "quit stops the adding";
  EXPECT_STREQ(CurrentFolder, "C:\\Music\\");
}

TEST_F(PlaylistEdit, AFolderWithoutRoomOrListingIsNotAcknowledged) {
  Files.AddFile("C:\\Music\\Five\\f1\\x.mp3");
  for (int i = 2; i <= 5; i++) Files.AddFolder("C:\\Music\\Five\\f" + std::to_string(i));
  Files.AddFile("C:\\Music\\Five\\z.mp3");
  Files.AddFolder("C:\\Music\\Gone");
  Scan();
  Playlist(Numbered(495));
  EXPECT_FALSE(Edit(2, BrowseIndex("\\Five"))) << "j reaches 5 before the first file";
  EXPECT_TRUE(Host.CallsStartingWith("copydata").empty());
  const uint32_t gone = BrowseIndex("\\Gone");
  Files.nodes.erase("c:\\music\\gone");  // listed, then taken away
  EXPECT_FALSE(Edit(2, gone)) << "a folder that cannot be listed";
  EXPECT_STREQ(CurrentFolder, "C:\\Music\\Gone\\") << "the browser stays inside it, its lists empty";
  EXPECT_EQ(BrowseCount, 0u);
}

TEST_F(PlaylistEdit, AddingRefusesWhatNamesNoSongOrWouldNotFit) {
  const std::string deep = "C:\\" + std::string(240, 'd') + "\\";
  Files.AddFile(deep + "a-long-name.mp3");  // 244 + 15 characters: more than 255
  SetFolder(CurrentFolder, deep);
  Scan();
  EXPECT_FALSE(Edit(2, 0)) << "a path cut to 255 characters would name another file";
  EXPECT_FALSE(Edit(2, BrowseCount)) << "past the browse list";

  std::snprintf(LibraryPaths[0], kSlotSize, "C:\\Music\\found.mp3");
  std::snprintf(LibraryPaths[1], kSlotSize, "C:\\%s.mp3", std::string(260, 'p').c_str());
  EXPECT_FALSE(Edit(3, 0)) << "no search results (the placeholder) name no song";
  LibraryResultCount = 2;
  EXPECT_TRUE(Edit(3, 0));
  EXPECT_FALSE(Edit(3, 1)) << "a result path too long for the buffer";
  EXPECT_FALSE(Edit(3, 2)) << "past the results";
  Playlist(Numbered(500));
  EXPECT_FALSE(Edit(3, 0)) << "a full playlist takes no 501st song";
  EXPECT_TRUE(Host.CallsStartingWith("copydata").empty());
}

TEST_F(PlaylistEdit, SaveNamesTheFileAfterTheFirstTitleAndTheTime) {
  struct Case {
    const char* title;  // null: the player knows none
    const char* name;
  } cases[] = {
      {"Evening Song", "Evening Song-2005-03-07-14.05.09.m3u"},
      {"AC/DC: Live? <1> \"x\" |*\\\t", "AC_DC_ Live_ _1_ _x_ ____-2005-03-07-14.05.09.m3u"},
      {nullptr, "C__Music_0.mp3-2005-03-07-14.05.09.m3u"},  // the path in the title's place, made safe too
  };
  for (const Case& c : cases) {
    ResetFakeFiles();
    Files.AddFolder("C:\\Music\\QB_Playlists");
    Playlist(Numbered(2));
    Host.titles.clear();
    if (c.title) Host.titles["C:\\Music\\0.mp3"] = c.title;
    EXPECT_TRUE(Edit(4)) << c.name;
    const std::string file = std::string("C:\\Music\\QB_Playlists\\") + c.name;
    EXPECT_EQ(Files.CallsStartingWith("create"), Strings{"create new " + file});
    EXPECT_EQ(Host.CallsStartingWith("296"), Strings{"296 C:\\Music\\0.mp3 TITLE 256"}) << "never more than the buffer holds";
    EXPECT_EQ(Files.Content(file), std::string("C:\\Music\\0.mp3\0\r\nC:\\Music\\1.mp3\0\r\n", 34));
  }
}

TEST_F(PlaylistEdit, SaveNeverOverwritesAndReportsOnlyAWholeFile) {
  Playlist({});
  EXPECT_TRUE(Edit(4)) << "an empty playlist: acknowledged";
  EXPECT_TRUE(Files.calls.empty()) << "and no file";
  const std::string first = "C:\\Music\\QB_Playlists\\C__Music_0.mp3-2005-03-07-14.05.09.m3u";
  Playlist(Numbered(2));
  ASSERT_TRUE(Edit(4));
  const std::string saved = Files.Content(first);
  Playlist(Numbered(3));
  EXPECT_FALSE(Edit(4)) << "the same second: the name exists";
  EXPECT_EQ(Files.Content(first), saved);

  Files.now.second = 10;
  Strings files = Numbered(3);
  files[1] = "C:\\" + std::string(250, 'x');  // 253 characters and three line-end bytes: fits
  files[2] = "C:\\" + std::string(251, 'y');  // 254: its line would not fit
  Playlist(files);
  EXPECT_TRUE(Edit(4));
  EXPECT_EQ(Files.CallsStartingWith("write"), (Strings{"write 17", "write 256"})) << "the line that would not fit is left out";

  Files.now.second = 11;
  Files.failWriteNumber = Files.writes + 1;
  Playlist(Numbered(3));
  EXPECT_FALSE(Edit(4)) << "a failed write is no save to report";
  Files.now.second = 12;
  Playlist({""});
  EXPECT_FALSE(Edit(4)) << "no path for entry 0";
  EXPECT_TRUE(Files.CallsStartingWith("create").empty()) << "creates no file";
  Playlist({"C:\\Music\\0.mp3"});
  Host.titles["C:\\Music\\0.mp3"] = std::string(230, 't');
  EXPECT_FALSE(Edit(4)) << "a name too long for its buffer";
  EXPECT_TRUE(Files.CallsStartingWith("create").empty()) << "creates no file";
}

}  // namespace

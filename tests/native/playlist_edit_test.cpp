// "E": the edits made through the fake player and file system, and their acknowledgement.
#include "handler_world.h"

namespace {

class PlaylistEdit : public HandlerWorld {
 protected:
  // Runs "E" sub-command sub; true when it was acknowledged with the command's 10 bytes.
  static bool Edit(uint8_t sub, uint32_t a = 0, uint32_t b = 0) {
    const Bytes command = Command('E', sub, a, b);
    HandlePlaylistEdit(command.data());
    const Bytes reply = TakeReply();
    if (!reply.empty()) EXPECT_EQ(reply, Acknowledgement(command, 10, 6));
    return !reply.empty();
  }
  static Strings Numbered(int n) {
    Strings files;
    for (int i = 0; i < n; i++) files.push_back("C:\\Music\\" + std::to_string(i) + ".mp3");
    return files;
  }
  // Three entries, the middle one a path of length characters.
  static Strings WithPath(size_t length) {
    Strings files = Numbered(3);
    files[1] = "C:\\" + std::string(length - 7, 'x') + ".mp3";
    return files;
  }
};

TEST_F(PlaylistEdit, MoveSwapsNeighboursAndKeepsTheCurrentSongCurrent) {
  const struct {
    uint32_t a, b;
    int32_t position, after;
    size_t swaps;
    bool told;  // the player is sent the position (121), even an unchanged one
  } cases[] = {
      {2, 5, 4, 3, 3, true}, {5, 2, 3, 4, 3, true}, {3, 7, 3, 7, 4, true}, {6, 8, 3, 3, 2, false},
      {4, 4, 3, 3, 0, false},
      {4, 4, 4, 4, 0, true},      // the current entry onto its own place once sent no position
      {7, 600, 2, 2, 2, false},   // a target past the end means the last place
      {2, 65535, 9, 8, 7, true},  // and never a swap beyond it
  };
  for (const auto& c : cases) {
    Playlist(Numbered(10), c.position);
    EXPECT_TRUE(Edit(1, c.a, c.b)) << c.a << " to " << c.b;
    EXPECT_EQ(Host.CallsStartingWith("swap").size(), c.swaps) << c.a << " to " << c.b;
    EXPECT_EQ(Host.files[c.b > 9 ? 9 : c.b], Numbered(10)[c.a]) << c.a << " to " << c.b;
    EXPECT_EQ(Host.position, c.after) << c.a << " to " << c.b;
    EXPECT_EQ(Host.CallsStartingWith("121 ").size(), c.told ? 1u : 0u) << c.a << " to " << c.b;
  }
  EXPECT_FALSE(Edit(1, 10, 0)) << "an entry past the end moves nothing";
  // a player that still reports 501 entries after the trim once got a swap of 499 and 500
  Playlist(Numbered(501));
  PlaylistLength = 501;
  EXPECT_TRUE(Edit(1, 498, 600));
  EXPECT_EQ(Host.CallsStartingWith("swap"), (Strings{"swap 498 499"})) << "the last place is 499";
}

TEST_F(PlaylistEdit, DeletePlaysOnOnlyWhenThePlayingSongGoes) {
  const struct {
    int entries;
    uint32_t a;
    int32_t state;
    bool acked, play;
  } cases[] = {{5, 2, 1, true, true}, {5, 2, 3, true, false}, {5, 1, 1, true, false}, {5, 5, 1, false, false},
               {0, 0, 1, false, false}};
  for (const auto& c : cases) {
    Playlist(Numbered(c.entries), 2);
    Host.playState = c.state;
    EXPECT_EQ(Edit(0, c.a), c.acked) << c.a;
    EXPECT_EQ(Host.CallsStartingWith("press 40045").size(), c.play ? 1u : 0u) << c.a << " state " << c.state;
  }
  Playlist(Numbered(620));
  EXPECT_TRUE(Edit(9)) << "an unknown edit is acknowledged";
  EXPECT_EQ(Host.calls, (Strings{"124", "108"})) << "the length read again, the playlist marked clean";
  EXPECT_EQ(PlaylistLength, 500);
  EXPECT_TRUE(Edit(5));
  EXPECT_EQ(Host.CallsStartingWith("1"), (Strings{"124", "108", "101", "124", "108"})) << "clear";
}

TEST_F(PlaylistEdit, AddingAFolderAddsItsPlayableFilesInListingOrder) {
  Files.AddFile("C:\\Music\\one.mp3");
  for (const char* name : {"CD1\\x.mp3", "Extras\\z.mp3", "a.mp3", "b.wav", "c.txt", "d.mp3"}) {
    Files.AddFile(std::string("C:\\Music\\Album\\") + name);
  }
  for (int i = 1; i <= 5; i++) Files.AddFolder("C:\\Music\\Five\\f" + std::to_string(i));
  Files.AddFile("C:\\Music\\Five\\z.mp3");
  Scan();
  ASSERT_EQ(SortBrowseListsFoldersFirst(BrowseNames, BrowseTitles, BrowseCount), 1);  // as the panel saw it
  EXPECT_TRUE(Edit(2, BrowseIndex("\\Album")));
  const std::string album = "copydata C:\\Music\\Album\\";
  EXPECT_EQ(Host.CallsStartingWith("copydata"), (Strings{album + "a.mp3", album + "b.wav", album + "d.mp3"}));
  EXPECT_EQ(BrowseList(), (Strings{"\\Album", "\\Five", "one.mp3", "\\QB_Dumped", "\\QB_Playlists"})) << "unsorted";

  Playlist(Numbered(498));
  EXPECT_TRUE(Edit(2, BrowseIndex("\\Album")));
  EXPECT_EQ(Host.CallsStartingWith("copydata").size(), 2u) << "j + 498 < 500: the first two listed";
  Playlist(Numbered(495));
  EXPECT_FALSE(Edit(2, BrowseIndex("\\Five"))) << "j reaches 5 before the first file";
  Playlist(Numbered(500));
  EXPECT_FALSE(Edit(2, BrowseIndex("one.mp3"))) << "a full playlist takes no 501st song";
  Playlist({});
  QuitAfterChecks = 0;
  EXPECT_FALSE(Edit(2, BrowseIndex("\\Album"))) << "quit stops the adding";
  EXPECT_TRUE(Host.CallsStartingWith("copydata").empty());
}

TEST_F(PlaylistEdit, AddingRefusesWhatNamesNoSongOrWouldNotFit) {
  const std::string deep = "C:\\" + std::string(240, 'd') + "\\";
  Files.AddFile(deep + "a-long-name.mp3");  // 244 + 15 characters
  SetFolder(CurrentFolder, deep);
  Scan();
  EXPECT_FALSE(Edit(2, 0)) << "a path cut to 255 characters would name another file";
  EXPECT_FALSE(Edit(2, 1)) << "past the browse list";
  std::snprintf(LibraryPaths[0], kSlotSize, "C:\\Music\\found.mp3");
  std::snprintf(LibraryPaths[1], kSlotSize, "C:\\%s.mp3", std::string(260, 'p').c_str());
  EXPECT_FALSE(Edit(3, 0)) << "no search results (the placeholder) name no song";
  LibraryResultCount = 2;
  EXPECT_TRUE(Edit(3, 0));
  EXPECT_FALSE(Edit(3, 1)) << "a result path too long for the buffer";
  Playlist(Numbered(500));
  EXPECT_FALSE(Edit(3, 0)) << "a full playlist takes no 501st song";
  EXPECT_TRUE(Host.CallsStartingWith("copydata").empty());
}

TEST_F(PlaylistEdit, SaveNamesTheFileAfterTheFirstTitleAndTheTime) {
  const struct {
    const char* title;  // null: the player knows none, and entry 0's path stands in
    const char* name;
  } cases[] = {{"Evening Song", "Evening Song-2005-03-07-14.05.09.m3u"},
               {"AC/DC: Live? <1> \"x\" |*\\\t", "AC_DC_ Live_ _1_ _x_ ____-2005-03-07-14.05.10.m3u"},
               {nullptr, "C__Music_0.mp3-2005-03-07-14.05.11.m3u"},
               // In the Japanese code page a character's second byte may be that of "\\" or "|".
               {"\x95\x5C\x81\x7C|", "\x95\x5C\x81\x7C_-2005-03-07-14.05.12.m3u"}};
  Files.codePage = 932;
  for (const auto& c : cases) {
    Playlist(Numbered(2));
    Host.titles.clear();
    if (c.title) Host.titles["C:\\Music\\0.mp3"] = c.title;
    EXPECT_TRUE(Edit(4)) << c.name;
    const std::string file = std::string("C:\\Music\\QB_Playlists\\") + c.name;
    EXPECT_EQ(Files.CallsStartingWith("create"), Strings{"create new " + file});
    EXPECT_EQ(Host.CallsStartingWith("296"), Strings{"296 C:\\Music\\0.mp3 TITLE 256"}) << "never more than the buffer";
    EXPECT_EQ(Files.Content(file), std::string("C:\\Music\\0.mp3\0\r\nC:\\Music\\1.mp3\0\r\n", 34));
    Files.now.second++;
  }
}

TEST_F(PlaylistEdit, SaveNeverOverwritesAndReportsOnlyAWholeFile) {
  EXPECT_TRUE(Edit(4)) << "an empty playlist: acknowledged";
  EXPECT_TRUE(Files.calls.empty()) << "and no file";
  Playlist(Numbered(2));
  ASSERT_TRUE(Edit(4));
  const std::string first = "C:\\Music\\QB_Playlists\\C__Music_0.mp3-2005-03-07-14.05.09.m3u";
  const std::string saved = Files.Content(first);
  Playlist(Numbered(3));
  EXPECT_FALSE(Edit(4)) << "the same second: the name exists";
  EXPECT_EQ(Files.Content(first), saved);

  Files.now.second = 12;
  Playlist({""});
  EXPECT_FALSE(Edit(4)) << "no path for entry 0";
  Host.files = {"C:\\Music\\0.mp3"};
  Host.titles["C:\\Music\\0.mp3"] = std::string(230, 't');
  EXPECT_FALSE(Edit(4)) << "a name too long for its buffer";
  EXPECT_TRUE(Files.CallsStartingWith("create").empty()) << "neither creates a file";
}

// What a save leaves in the playlist folder: a file that holds every entry's line, or none.
TEST_F(PlaylistEdit, ASaveLeavesAWholePlaylistOrNoFile) {
  const std::string folder = "C:\\Music\\QB_Playlists\\";
  const struct {
    Strings playlist;
    int failWrite;  // the save's write that fails (0 the first), -1 none
    bool failClose;
    bool saved;
    const char* fault;
  } cases[] = {
      {Numbered(3), -1, false, true, "a whole save must be acknowledged and kept"},
      {Numbered(3), 1, false, false, "a write failed midway once left a partial playlist behind"},
      {Numbered(3), 0, false, false, "the first write failed: an empty file must not stay either"},
      {Numbered(3), -1, true, false, "lines that did not reach the disk at close"},
      {WithPath(259), -1, false, true, "a path of 253 to 259 characters was left out of an acknowledged save"},
      {WithPath(260), -1, false, false, "a path past MAX_PATH cannot be written whole: the save must fail"},
  };
  for (const auto& c : cases) {
    Playlist(c.playlist);
    Files.failWriteNumber = c.failWrite < 0 ? -1 : Files.writes + c.failWrite;
    Files.failClose = c.failClose;
    EXPECT_EQ(Edit(4), c.saved) << c.fault;
    const Strings names = Files.Names(folder);
    ASSERT_EQ(names.size(), c.saved ? 1u : 0u) << c.fault;
    if (!c.saved) continue;
    std::string lines;
    for (const std::string& path : c.playlist) lines += path + std::string("\0\r\n", 3);
    EXPECT_EQ(Files.Content(folder + names[0]), lines) << c.fault;
    DeleteFileAt((folder + names[0]).c_str());  // the next case saves within the same second
  }
}

}  // namespace

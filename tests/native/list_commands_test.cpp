// "Q" and "L": choosing a list and sending it in chunks, over the fake player and folders.
#include "fakes/fake_port.h"
#include "handler_fixture.h"
#include "protocol/library_search.h"
#include "protocol/list_chunk.h"

namespace {

constexpr uint8_t kNoReply = 0xEE;  // in a case table: the command posts nothing

TEST(ListChunk, TitlesArePackedAsThePanelCountsThem) {
  struct Case {
    Strings titles;
    uint32_t packed;  // titles in the first chunk
    uint32_t used;
    const char* fault;
  } cases[] = {
      {{"A", "BB", "CCC"}, 3, 9, "each title and its NUL, back to back"},
      {{std::string(60, 'x')}, 1, 40, "a long title keeps 39 characters and its NUL"},
      {Strings(10, std::string(39, 'y')), 5, 200, "a 39-character title takes 40 bytes"},
      {Strings(30, std::string(10, 'z')), 19, 209, "a title starts while more than 40 bytes are free"},
      {Strings(300, ""), 200, 200, "empty titles: 200 to a chunk, never more"},
  };
  for (const Case& c : cases) {
    std::vector<const char*> table;
    for (const std::string& t : c.titles) table.push_back(t.c_str());
    uint8_t chunk[kChunkSize];
    uint32_t cursor = 0;
    EXPECT_EQ(PackListChunk(chunk, table.data(), static_cast<uint32_t>(table.size()), &cursor), c.used) << c.fault;
    EXPECT_EQ(cursor, c.packed) << c.fault;
    EXPECT_EQ(chunk[0], 'D');
    EXPECT_EQ(chunk[3], c.used) << c.fault;
    std::string expected;
    for (uint32_t i = 0; i < c.packed; i++) expected += c.titles[i].substr(0, 39) + '\0';
    EXPECT_EQ(std::string(chunk + 4, chunk + 4 + c.used), expected) << c.fault;
    for (uint32_t i = 4 + c.used; i < kChunkSize; i++) ASSERT_EQ(chunk[i], 0) << c.fault;
  }
}

class ListCommands : public HandlerTest {
 protected:
  void SetUp() override {
    HandlerTest::SetUp();
    Files.AddFile("C:\\Music\\b.mp3");
    Files.AddFile("C:\\Music\\Rock\\x.mp3");
    Files.AddFolder("C:\\Music\\Rock\\Live");
    Files.AddFile("C:\\Music\\a.wav");
    Files.AddFile("C:\\Music\\notes.txt");
    Host.titles["C:\\Music\\b.mp3"] = "Bee";
  }
  // The list kind of the "Q" reply, checking its other bytes; kNoReply when none.
  static uint8_t ListKind(Bytes command) {
    command.resize(6);  // zero past what was sent, as on the line
    const Bytes reply = TakeReply();
    if (reply.empty()) return kNoReply;
    EXPECT_EQ(reply.size(), 6u);
    EXPECT_EQ(reply[0], 'L');
    EXPECT_EQ(reply[2], 5);
    EXPECT_EQ(reply[1], command[1]);  // the command's own bytes come back
    EXPECT_EQ(reply[4], command[4]);
    EXPECT_EQ(reply[5], command[5]);
    return reply[3];
  }
};

TEST_F(ListCommands, BrowsingMovesRescansAndSortsFoldersFirst) {
  struct Case {
    const char* from;
    Bytes command;
    const char* to;
    uint8_t kind;
    Strings names;  // BrowseNames after, when a list was made
    const char* fault;
  } cases[] = {
      {"C:\\Music\\", {'Q', 7, 2, 0, 0, 9}, "C:\\Music\\", 1, {"\\Rock", "a.wav", "b.mp3"}, "root: sorted, unplayable left out"},
      {"C:\\Music\\", {'Q', 7, 1, 0, 0, 9}, "C:\\Music\\Rock\\", 1, {"\\Live", "x.mp3"}, "enter the folder at index 0"},
      {"C:\\Music\\", {'Q', 7, 1, 0xFF, 0xFF}, "C:\\Music\\", 1, {"\\Rock", "a.wav", "b.mp3"}, "0xFFFF refreshes in place"},
      {"C:\\Music\\", {'Q', 7, 1, 0, 2}, "C:\\Music\\", 1, {"\\Rock", "a.wav", "b.mp3"}, "a file entry refreshes in place"},
      {"C:\\Music\\", {'Q', 7, 1, 0, 3}, "C:\\Music\\", 1, {"\\Rock", "a.wav", "b.mp3"}, "an index past the list names nothing"},
      {"C:\\Music\\", {'Q', 7, 1, 0x01, 0xF4}, "C:\\Music\\", 1, {"\\Rock", "a.wav", "b.mp3"}, "index 500 never reads past the table"},
      {"C:\\Music\\Rock\\", {'Q', 7, 0}, "C:\\Music\\", 1, {"\\Rock", "a.wav", "b.mp3"}, "up one folder"},
      {"C:\\Music\\", {'Q', 7, 0}, "C:\\Music\\", 1, {"\\Rock", "a.wav", "b.mp3"}, "up at the music folder rescans it"},
      {"Rock\\", {'Q', 7, 0}, "C:\\Music\\", kNoReply, {}, "no parent: back to the root, no reply"},
      {"C:\\Music\\Rock\\Live\\", {'Q', 7, 2}, "C:\\Music\\", 1, {"\\Rock", "a.wav", "b.mp3"}, "back to the music folder"},
      {"C:\\Music\\Gone\\", {'Q', 7, 2, 0, 0}, "C:\\Music\\", 1, {"\\Rock", "a.wav", "b.mp3"}, "root from a vanished folder"},
  };
  for (const Case& c : cases) {
    SetFolder("C:\\Music\\");
    Run({'Q', 0, 2});  // a sorted root list to name entries in
    TakeReply();
    SetFolder(c.from);
    ListCursor = 7;
    Run(c.command);
    EXPECT_STREQ(CurrentFolder, c.to) << c.fault;
    EXPECT_EQ(ListKind(c.command), c.kind) << c.fault;
    EXPECT_EQ(ListCursor, 7u) << c.fault;
    if (c.names.empty()) continue;
    EXPECT_EQ(Entries(BrowseNames, BrowseCount), c.names) << c.fault;
    EXPECT_EQ(ActiveList.table, BrowseTitles) << c.fault;
    EXPECT_EQ(ActiveList.count, c.names.size()) << c.fault;
  }
  // both tables keep one order: the title of b.mp3 stays beside its name
  EXPECT_STREQ(BrowseTitles[2], "Bee");
}

TEST_F(ListCommands, PathsWithoutANewListReportTheListStillActive) {
  const Bytes other = {'Q', 1, 9, 4, 5, 6};
  Run(other);  // nothing chosen yet
  EXPECT_EQ(ListKind(other), 0xFF);
  Run({'Q', 0, 2});
  TakeReply();
  SetFolder("C:\\Music\\Gone\\");  // a folder that cannot be listed
  Run({'Q', 0, 1, 0xFF, 0xFF});
  EXPECT_EQ(ListKind({'Q', 0, 1, 0xFF, 0xFF}), 1);
  EXPECT_EQ(ActiveList.table, BrowseTitles);
  EXPECT_EQ(ActiveList.count, 0u);  // never longer than what the failed scan left
  Run({'Q', 0, 3});
  TakeReply();
  Run(other);
  EXPECT_EQ(ListKind(other), 0);
}

TEST_F(ListCommands, PlaylistTitlesAreReadAfresh) {
  for (int i = 0; i < 650; i++) Host.files.push_back("C:\\P\\" + std::to_string(i) + ".mp3");
  Host.titles["C:\\P\\0.mp3"] = "Zero";
  Host.files[2] = "";  // the player has no path for this entry
  std::snprintf(PlaylistTitles[1], kSlotSize, "stale title of an earlier list");
  Run({'Q', 0, 3});
  EXPECT_EQ(ListKind({'Q', 0, 3}), 0);
  EXPECT_EQ(PlaylistLength, 500);
  EXPECT_EQ(ActiveList.table, PlaylistTitles);
  EXPECT_EQ(ActiveList.count, 500u);
  EXPECT_EQ(Entries(PlaylistTitles, 3), (Strings{"Zero", "", ""}));  // no stale title survives
  EXPECT_EQ(Host.CallsStartingWith("296").size(), 499u);  // none for the entry without a path
  EXPECT_EQ(Host.CallsStartingWith("211").back(), "211 499");

  QuitAfterChecks = QuitChecks + 10;  // quit begins part way through
  Run({'Q', 0, 3});
  EXPECT_EQ(ActiveList.count, 10u);
  TakeReply();

  Host.reportedLength = -1;
  Run({'Q', 0, 3});
  EXPECT_EQ(ListKind({'Q', 0, 3}), kNoReply);  // a negative length ends the command
  EXPECT_EQ(PlaylistLength, -1);
  EXPECT_EQ(ActiveList.count, 10u);
}

TEST_F(ListCommands, SearchResultsAreCopiedBoundedAndReleased) {
  const std::string longText(600, 'L');
  struct Case {
    std::vector<FakeHost::Result> results;
    bool ignoreLimit;
    std::optional<int32_t> count, allocated;
    uint32_t stored;
    const char* fault;
  } cases[] = {
      {{{"C:\\a.mp3", "Alpha"}, {"C:\\b.mp3", "Beta"}}, false, {}, {}, 2, "results in array order"},
      {{}, false, {}, {}, 0, "no results: a placeholder that is no song"},
      {std::vector<FakeHost::Result>(600, {"C:\\m.mp3", "Many"}), true, {}, {}, 500, "a host that returns more than asked"},
      {{{"C:\\a.mp3", "Alpha"}}, false, -3, {}, 0, "a negative count is no results"},
      {std::vector<FakeHost::Result>(600, {"C:\\m.mp3", "Many"}), true, 100000, {}, 500, "a huge count stops at 500"},
      {{{"C:\\a.mp3", "Alpha"}}, false, 700, {}, 1, "never beyond the array the host made"},
      {{{longText, longText}}, false, {}, {}, 1, "over-long texts are cut to their slots"},
      {{{std::nullopt, std::nullopt}}, false, {}, {}, 1, "missing texts store as empty"},
  };
  for (const Case& c : cases) {
    std::snprintf(LibraryPaths[0], kSlotSize, "C:\\before.mp3");
    Host.results = c.results;
    Host.ignoreLimit = c.ignoreLimit;
    Host.reportedCount = c.count;
    Host.reportedAllocated = c.allocated;
    Host.searches.clear();
    Host.releases.clear();
    const Bytes command = {'Q', 0, 4, 0, 0, 0, 'l', 'o', 'v', 'e'};
    Run(command);
    EXPECT_EQ(ListKind(command), 2) << c.fault;
    EXPECT_EQ(LibraryResultCount, c.stored) << c.fault;
    EXPECT_EQ(ActiveList.table, LibraryTitles) << c.fault;
    EXPECT_EQ(ActiveList.count, c.stored == 0 ? 1u : c.stored) << c.fault;
    ASSERT_EQ(Host.searches.size(), 1u);
    ASSERT_EQ(Host.releases.size(), 1u) << c.fault;
    const FakeHost::QueryFields& asked = Host.searches[0];
    EXPECT_EQ(asked.query, "love");
    EXPECT_EQ(asked.maxResults, 500);
    EXPECT_EQ(asked.results, nullptr);
    EXPECT_EQ(asked.resultCount, 0);
    EXPECT_EQ(asked.allocated, 0);
    EXPECT_EQ(Host.releases[0].record, asked.record) << "released with the very record searched";
    EXPECT_NE(Host.releases[0].results, nullptr);
    EXPECT_EQ(Host.releaseMisuses, 0);
    if (c.stored == 0) {
      EXPECT_STREQ(LibraryTitles[0], kNoSearchResults) << c.fault;
      EXPECT_STREQ(LibraryPaths[0], "C:\\before.mp3") << c.fault;
      continue;
    }
    const FakeHost::Result& last = c.results[c.stored - 1];
    EXPECT_EQ(LibraryTitles[c.stored - 1], last.title.value_or("").substr(0, 499)) << c.fault;
    EXPECT_EQ(LibraryPaths[c.stored - 1], last.path.value_or("").substr(0, 499)) << c.fault;
  }
}

TEST_F(ListCommands, ARefusedSearchChangesNothingAndAQueryIsAlwaysTerminated) {
  Host.results = {{"C:\\a.mp3", "Alpha"}};
  Bytes command = {'Q', 0, 4, 0, 0, 0};
  for (int i = 0; i < 25; i++) command.push_back('q');  // no NUL within the 20 query bytes
  Run(command);
  EXPECT_EQ(Host.searches.back().query, std::string(19, 'q'));
  TakeReply();
  Host.searchAnswer = 0;
  Host.results = {};
  Run(command);
  EXPECT_EQ(ListKind(command), kNoReply);
  EXPECT_EQ(LibraryResultCount, 1u);
  EXPECT_STREQ(LibraryTitles[0], "Alpha");
  EXPECT_EQ(Host.releases.size(), 1u);  // only the search that succeeded was released
}

TEST_F(ListCommands, TransferSendsChunksThenTheEnd) {
  // "L" replies, one per command: 'D' a chunk, a status otherwise, kNoReply for none
  const Bytes restart = {'L', 3, 6, 4, 5, 6};
  const Bytes next = {'L', 3, 0, 4, 5, 6};
  const auto reply = [] {
    const Bytes r = TakeReply();
    if (r.empty()) return kNoReply;
    return r[0] == 'D' ? static_cast<uint8_t>('D') : r[2];
  };
  Run(next);
  EXPECT_EQ(reply(), kNoReply) << "no list chosen yet";
  Run(restart);
  EXPECT_EQ(TakeReply(), (Bytes{'L', 3, 1, 4, 5, 6})) << "restart acknowledges with the command's bytes";

  Fill(LibraryTitles, {"A", "BB", "CCC"});
  ActiveList = {LibraryTitles, 3};
  Run(next);
  const Bytes chunk = TakeReply();
  ASSERT_EQ(chunk.size(), 244u);
  EXPECT_EQ(chunk[3], 9);
  Run(next);
  EXPECT_EQ(TakeReply(), (Bytes{'L', 3, 3, 4, 5, 6})) << "end of list with the command's bytes";

  ActiveList = {LibraryTitles, 300};  // sent to its end, then replaced by a shorter list
  for (int i = 0; i < 20 && ListCursor < 300; i++) Run(next);
  TakeReply();
  ActiveList = {LibraryTitles, 10};
  Run(next);
  EXPECT_EQ(reply(), kNoReply) << "a cursor past a shorter list gets no answer";
  Run({'L', 3, 7});
  EXPECT_EQ(reply(), kNoReply) << "an unknown sub-command";
  Run(restart);
  TakeReply();
  Run(next);
  EXPECT_EQ(reply(), 'D') << "after a restart the new list comes from its start";

  ActiveList = {LibraryTitles, 0};
  ListCursor = 0;
  Run(next);
  EXPECT_EQ(reply(), 3) << "an empty list ends at once";
}

TEST_F(ListCommands, AChangedPlaylistBecomesTheListOnTheNextIdleTick) {
  ResetFakeLine();
  Host.files = {"C:\\P\\0.mp3"};
  Host.changed = 1;
  PollTick();
  EXPECT_EQ(Host.changed, 0);
  EXPECT_EQ(ActiveList.table, PlaylistTitles);
  PollTick();
  const auto frames = Line.WrittenFrames();
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[2], EncodeFrame({'L', 0, 5, 0, 0, 0}));
}

}  // namespace

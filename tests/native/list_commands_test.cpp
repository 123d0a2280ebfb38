// "Q" and "L": choosing a list and sending it in chunks, over the fake player and folders.
#include "fakes/fake_port.h"
#include "serial/port_recovery.h"
#include "handler_fixture.h"
#include "protocol/library_search.h"
#include "protocol/list_chunk.h"

namespace {

constexpr int kNoReply = -1;

TEST(ListChunk, TitlesArePackedAsThePanelCountsThem) {
  struct Case {
    Strings titles;
    uint32_t packed, used;  // titles in the chunk, bytes they take
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
    std::string expected = {'D', 0, 0, static_cast<char>(c.used)};
    for (uint32_t i = 0; i < c.packed; i++) expected += c.titles[i].substr(0, 39) + '\0';
    expected.resize(kChunkSize);  // zero after the used length
    EXPECT_EQ(std::string(chunk, chunk + kChunkSize), expected) << c.fault;
  }
}

class ListCommands : public HandlerTest {
 protected:
  void SetUp() override {
    HandlerTest::SetUp();
    for (const char* file : {"b.mp3", "Rock\\x.mp3", "a.wav", "notes.txt"}) Files.AddFile(std::string("C:\\Music\\") + file);
    Files.AddFolder("C:\\Music\\Rock\\Live");
    Host.titles["C:\\Music\\b.mp3"] = "Bee";
  }
  // The list kind of the "Q" reply, whose other bytes are the command's own.
  static int Kind(Bytes command) {
    command.resize(6);
    const Bytes reply = TakeReply();
    if (reply.empty()) return kNoReply;
    EXPECT_EQ(reply, (Bytes{'L', command[1], 5, reply[3], command[4], command[5]}));
    return reply[3];
  }
};

TEST_F(ListCommands, BrowsingMovesRescansAndSortsFoldersFirst) {
  const Strings root = {"\\Rock", "a.wav", "b.mp3"};
  struct Case {
    const char* from;
    Bytes command;
    const char* to;
    int kind;
    Strings names;  // the list after, when the kind is 1
    const char* fault;
  } cases[] = {
      {"C:\\Music\\Rock\\Live\\", {'Q', 7, 2, 0, 0, 9}, "C:\\Music\\", 1, root, "root: sorted, unplayable left out"},
      {"C:\\Music\\", {'Q', 7, 1, 0, 0, 9}, "C:\\Music\\Rock\\", 1, {"\\Live", "x.mp3"}, "enter the folder at index 0"},
      {"C:\\Music\\", {'Q', 7, 1, 0xFF, 0xFF}, "C:\\Music\\", 1, root, "0xFFFF refreshes in place"},
      {"C:\\Music\\", {'Q', 7, 1, 0, 2}, "C:\\Music\\", 1, root, "a file entry refreshes in place"},
      {"C:\\Music\\", {'Q', 7, 1, 0, 3}, "C:\\Music\\", 1, root, "an index past the list names nothing"},
      {"C:\\Music\\", {'Q', 7, 1, 0x01, 0xF4}, "C:\\Music\\", 1, root, "index 500 never reads past the table"},
      {"C:\\Music\\Rock\\", {'Q', 7, 0}, "C:\\Music\\", 1, root, "up one folder"},
      {"C:\\Music\\", {'Q', 7, 0}, "C:\\Music\\", 1, root, "up at the music folder rescans it"},
      {"Rock\\", {'Q', 7, 0}, "C:\\Music\\", kNoReply, {}, "no parent: back to the root, no reply"},
      {"C:\\Music\\Gone\\", {'Q', 7, 1, 0xFF, 0xFF}, "C:\\Music\\Gone\\", 1, {}, "a failed scan: still the folder list, cut"},
      {"C:\\Music\\", {'Q', 7, 9}, "C:\\Music\\", 1, root, "no such list: the active one is told"},
  };
  for (const Case& c : cases) {
    Run({'Q', 0, 2});  // a sorted root list to name entries in
    TakeReply();
    SetFolder(CurrentFolder, c.from);
    ListCursor = 7;
    Run(c.command);
    EXPECT_STREQ(CurrentFolder, c.to) << c.fault;
    EXPECT_EQ(Kind(c.command), c.kind) << c.fault;
    EXPECT_EQ(ListCursor, 7u) << c.fault;
    if (c.kind != 1) continue;
    EXPECT_EQ(Entries(BrowseNames, BrowseCount), c.names) << c.fault;
    EXPECT_EQ(ActiveList.table, BrowseTitles) << c.fault;
    EXPECT_EQ(ActiveList.count, c.names.size()) << c.fault;
  }
  Run({'Q', 0, 2});
  EXPECT_EQ(Entries(BrowseTitles, 3), (Strings{"\\Rock", "a.wav", "Bee"})) << "titles stay beside their names";
}

TEST_F(ListCommands, PlaylistTitlesAreReadAfresh) {
  Run({'Q', 0, 9});
  EXPECT_EQ(Kind({'Q', 0, 9}), 0xFF) << "no list chosen yet";
  for (int i = 0; i < 650; i++) Host.files.push_back("C:\\P\\" + std::to_string(i) + ".mp3");
  Host.titles["C:\\P\\0.mp3"] = "Zero";
  Host.files[2] = "";  // the player has no path for this entry
  Fill(PlaylistTitles, {"", "stale title of an earlier list"});
  Run({'Q', 0, 3});
  EXPECT_EQ(Kind({'Q', 0, 3}), 0);
  EXPECT_EQ(PlaylistLength, 500);
  EXPECT_EQ(ActiveList.table, PlaylistTitles);
  EXPECT_EQ(ActiveList.count, 500u);
  EXPECT_EQ(Entries(PlaylistTitles, 3), (Strings{"Zero", "", ""}));
  EXPECT_EQ(Host.CallsStartingWith("296").size(), 499u) << "no title asked for a missing path";

  QuitAfterChecks = QuitChecks + 10;
  Run({'Q', 0, 3});
  EXPECT_EQ(ActiveList.count, 10u) << "quit stops the list early";
  TakeReply();
  Host.reportedLength = -1;
  Run({'Q', 0, 3});
  EXPECT_EQ(Kind({'Q', 0, 3}), kNoReply) << "a negative length ends the command";
  EXPECT_EQ(PlaylistLength, -1);
  EXPECT_EQ(ActiveList.count, 10u);
}

TEST_F(ListCommands, SearchResultsAreCopiedBoundedAndReleased) {
  using Results = std::vector<FakeHost::Result>;
  const std::string longText(600, 'L');
  struct Case {
    Results results;
    bool ignoreLimit;
    std::optional<int32_t> count;
    uint32_t stored;
    const char* fault;
  } cases[] = {
      {{{"C:\\a.mp3", "Alpha"}, {"C:\\b.mp3", "Beta"}}, false, {}, 2, "results in array order"},
      {{}, false, {}, 0, "no results: a placeholder that is no song"},
      {Results(600, {"C:\\m.mp3", "Many"}), true, {}, 500, "a host that returns more than asked"},
      {{{"C:\\a.mp3", "Alpha"}}, false, -3, 0, "a negative count is no results"},
      {Results(600, {"C:\\m.mp3", "Many"}), true, 100000, 500, "a huge count stops at 500"},
      {{{"C:\\a.mp3", "Alpha"}}, false, 700, 1, "never beyond the array the host made"},
      {{{longText, longText}}, false, {}, 1, "over-long texts are cut to their slots"},
      {{{std::nullopt, std::nullopt}}, false, {}, 1, "missing texts store as empty"},
  };
  const Bytes command = {'Q', 0, 4, 0, 0, 0, 'l', 'o', 'v', 'e'};
  for (const Case& c : cases) {
    Fill(LibraryPaths, {"C:\\before.mp3"});
    Host.results = c.results;
    Host.ignoreLimit = c.ignoreLimit;
    Host.reportedCount = c.count;
    Host.searches.clear();
    Host.releases.clear();
    Run(command);
    EXPECT_EQ(Kind(command), 2) << c.fault;
    EXPECT_EQ(LibraryResultCount, c.stored) << c.fault;
    EXPECT_EQ(ActiveList.count, std::max(c.stored, 1u)) << c.fault;
    ASSERT_EQ(Host.searches.size(), 1u);
    ASSERT_EQ(Host.releases.size(), 1u) << c.fault;
    const FakeHost::QueryFields& asked = Host.searches[0];
    EXPECT_EQ(asked.query + "|" + std::to_string(asked.maxResults), "love|500");
    EXPECT_EQ(asked.results, nullptr);
    EXPECT_EQ(asked.resultCount + asked.allocated, 0);
    EXPECT_EQ(Host.releases[0].record, asked.record) << "released with the very record searched";
    EXPECT_EQ(Host.releaseMisuses, 0);
    const FakeHost::Result last = c.stored ? c.results[c.stored - 1] : FakeHost::Result{"C:\\before.mp3", kNoSearchResults};
    EXPECT_EQ(LibraryTitles[std::max(c.stored, 1u) - 1], last.title.value_or("").substr(0, 499)) << c.fault;
    EXPECT_EQ(LibraryPaths[std::max(c.stored, 1u) - 1], last.path.value_or("").substr(0, 499)) << c.fault;
  }
  Host.searchAnswer = 0;  // refused: nothing changes, nothing to release
  Bytes unterminated = {'Q', 0, 4, 0, 0, 0};
  unterminated.resize(31, 'q');
  Run(unterminated);
  EXPECT_EQ(Kind(unterminated), kNoReply);
  EXPECT_EQ(Host.searches.back().query, std::string(19, 'q')) << "a query without a NUL is cut at 19";
  EXPECT_EQ(LibraryResultCount, 1u);
  EXPECT_EQ(Host.releases.size(), 1u);
}

TEST_F(ListCommands, TransferSendsChunksThenTheEnd) {
  // Each step: the list's length (-1 keeps it), the command's sub-command, the reply:
  // 'D' a chunk, a status, or kNoReply.
  struct Step {
    int listLength;
    uint8_t sub;
    int reply;
    const char* fault;
  } steps[] = {
      {-1, 0, kNoReply, "no list chosen yet"},  {-1, 6, 1, "restart before any list"},
      {3, 0, 'D', "A, BB, CCC"},                {-1, 0, 3, "then the end of the list"},
      {300, 0, 'D', "a longer list goes on"},   {-1, 0, 'D', "from where the cursor stands"},
      {10, 0, kNoReply, "a cursor past a shorter list gets no answer"},
      {-1, 7, kNoReply, "no such sub-command"}, {-1, 6, 1, "restart"},
      {-1, 0, 'D', "the new list from its start"}, {0, 0, 3, "an empty list ends at once"},
  };
  Fill(LibraryTitles, {"A", "BB", "CCC"});
  for (const Step& s : steps) {
    if (s.listLength >= 0) ActiveList = {LibraryTitles, static_cast<uint32_t>(s.listLength)};
    Run({'L', 3, s.sub, 4, 5, 6});
    const Bytes reply = TakeReply();
    if (s.reply == kNoReply) {
      EXPECT_TRUE(reply.empty()) << s.fault;
    } else if (s.reply == 'D') {
      EXPECT_EQ(reply.size(), kChunkSize) << s.fault;
    } else {
      EXPECT_EQ(reply, (Bytes{'L', 3, static_cast<uint8_t>(s.reply), 4, 5, 6})) << s.fault;
    }
  }
  ActiveList = {LibraryTitles, 3};
  ListCursor = 0;
  FreeSlotTables();  // the plug-in quits and starts again in the same process
  ASSERT_EQ(CreateSlotTables(), 1);
  Run({'L', 3, 0});
  EXPECT_TRUE(TakeReply().empty()) << "a table from before the restart is never read";
}

TEST_F(ListCommands, AChangedPlaylistBecomesTheListOnTheNextIdleTick) {
  ResetFakeLine();
  WatchPanelPort(1, 115200);
  Line.nowMs = kQuietAfterOpenMs;
  Host.files = {"C:\\P\\0.mp3"};
  Host.changed = 1;
  PollTick();
  EXPECT_EQ(ActiveList.table, PlaylistTitles);
  PollTick();
  const auto frames = Line.WrittenFrames();
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[2], EncodeFrame({'L', 0, 5, 0, 0, 0}));
}

}  // namespace

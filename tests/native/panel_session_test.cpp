// The panel emulator's conversation with a fake plug-in on a clock of its own: when it
// sends, how it pairs replies, and how it puts lists back together.
#include <gtest/gtest.h>

#include "fakes/fake_plugin_line.h"
#include "panel.h"

namespace {

std::vector<std::string> Titles(int n, size_t length) {
  std::vector<std::string> t;
  for (int i = 0; i < n; i++) {
    std::string title = std::to_string(i) + ":";
    title.resize(length, 'x');
    t.push_back(title);
  }
  return t;
}

struct PanelRun {
  FakePluginLine line;
  Panel panel;
  std::vector<Event> events;

  // Runs the loop until nothing is left to do, within a bound of fake time.
  bool Settle(double mostMs = 60000) {
    const double until = line.now + mostMs;
    do {
      Pump(line, panel.session, 10);
      for (const Event& e : TakeEvents(panel.session)) {
        Absorb(panel, e);
        events.push_back(e);
      }
    } while (Busy(panel.session) && line.now < until);
    return !Busy(panel.session);
  }
  void Run(double ms) {
    const double until = line.now + ms;
    while (line.now < until) Settle(0);
  }
  int Count(EventKind kind) const {
    int n = 0;
    for (const Event& e : events) n += e.kind == kind;
    return n;
  }
};

TEST(PanelSession, SendsInTheWindowAndLeavesIdleTicksForReplies) {
  PanelRun run;
  run.Run(200);  // let the ticks begin
  Transport(run.panel, kPlay);
  SongInfo(run.panel, kFromPlaylist, 0);
  Volume(run.panel, true);
  SavePlaylist(run.panel);
  ASSERT_TRUE(run.Settle());
  const auto& taken = run.line.plugin.commands;
  ASSERT_EQ(taken.size(), 4u);
  EXPECT_EQ(run.line.late, 0);  // every command came within 15 ms of its status frame
  for (size_t i = 1; i < taken.size(); i++) {
    EXPECT_GE(taken[i].tick - taken[i - 1].tick, kTicksPerCommand);  // two idle ticks between
  }
  // Both replies reached the panel and were paired with their commands.
  ASSERT_EQ(run.Count(EventKind::Replied), 2);
  EXPECT_EQ(run.Count(EventKind::NoReply), 0);
  EXPECT_EQ(run.Count(EventKind::Stray), 0);
}

TEST(PanelSession, ReassemblesListsOfEverySize) {
  struct Case {
    int entries;
    size_t length;
  } cases[] = {
      {0, 0},               // an empty list: the first "L" 0 already ends it
      {3, 5},    {500, 0},  // empty titles: 200 to a chunk
      {300, 10}, {40, 60},  // long titles arrive cut to 39 characters
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entries);
    PanelRun run;
    run.line.plugin.lists[1] = Titles(c.entries, c.length);
    BrowseRoot(run.panel);
    ASSERT_TRUE(run.Settle());
    std::vector<std::string> want = run.line.plugin.lists[1];
    for (std::string& t : want) t.resize(std::min<size_t>(t.size(), 39));
    EXPECT_EQ(run.panel.session.lists[1], want);
    EXPECT_EQ(run.panel.view, ListKind::Folder);
    EXPECT_EQ(run.Count(EventKind::ListDone), 1);
  }
}

TEST(PanelSession, StartsATransferAgainWhenAChunkIsLost) {
  PanelRun run;
  run.line.plugin.lists[0] = Titles(100, 20);
  Choose(run.panel, ListKind::Playlist);
  run.line.plugin.dropNextChunk = true;
  ASSERT_TRUE(run.Settle());
  EXPECT_EQ(run.panel.session.lists[0], run.line.plugin.lists[0]);
  EXPECT_EQ(run.Count(EventKind::ListFailed), 0);
}

TEST(PanelSession, GivesUpOnAListThePluginDoesNotSend) {
  PanelRun run;
  FetchList(run.panel.session, ListKind::Folder);  // no list chosen in the plug-in: "L" 0 is ignored
  ASSERT_TRUE(run.Settle());
  EXPECT_EQ(run.Count(EventKind::ListFailed), 1);
  EXPECT_FALSE(run.panel.session.listKnown[1]);
}

TEST(PanelSession, LearnsOfAPlaylistThePlayerChanged) {
  PanelRun run;
  run.line.plugin.lists[1] = Titles(5, 8);
  run.line.plugin.lists[0] = Titles(2, 8);
  BrowseRoot(run.panel);
  ASSERT_TRUE(run.Settle());
  run.line.plugin.playlistChanged = true;
  run.Run(500);
  ASSERT_TRUE(run.Settle());
  EXPECT_EQ(run.panel.session.lists[0], run.line.plugin.lists[0]);
  EXPECT_EQ(run.panel.view, ListKind::Folder);  // the user's view stays where it was
  EXPECT_EQ(run.panel.session.active, ListKind::Playlist);
  // ... so refreshing the view chooses the folder list again rather than transferring the playlist
  Refetch(run.panel);
  ASSERT_TRUE(run.Settle());
  EXPECT_EQ(run.line.plugin.commands.back().payload[0], 'L');
  EXPECT_EQ(run.panel.session.active, ListKind::Folder);
}

TEST(PanelSession, ChoosesTheViewAgainWhenThePlayerCutsItsTransferShort) {
  PanelRun run;
  run.line.plugin.lists[1] = Titles(300, 30);
  run.line.plugin.lists[0] = Titles(2, 8);
  BrowseRoot(run.panel);
  run.Run(1500);  // a few chunks in
  ASSERT_TRUE(run.panel.session.fetch.active);
  run.line.plugin.playlistChanged = true;
  ASSERT_TRUE(run.Settle());
  EXPECT_EQ(run.panel.view, ListKind::Folder);
  EXPECT_EQ(run.panel.session.lists[1], run.line.plugin.lists[1]);
  EXPECT_EQ(run.panel.session.active, ListKind::Folder);
}

TEST(PanelSession, RefusesCommandsPilingUpOnAQuietLine) {
  PanelRun run;
  run.line.silent = true;
  for (size_t i = 0; i < kMaxWaiting; i++) EXPECT_EQ(Transport(run.panel, kNext), "");
  EXPECT_NE(Transport(run.panel, kNext), "");
}

TEST(PanelSession, TellsStraysAndMissingRepliesApart) {
  PanelRun run;
  run.Run(200);
  SendRaw(run.panel, {'I', 0x33, 1, 0, 0});  // the panel asked nothing it knows of: a stray
  DeleteEntry(run.panel, 0);
  Request nothing;
  nothing.payload = CommandPayload('X', 0);
  nothing.expect = ReplyForm::Edited;  // a reply that never comes
  nothing.label = "x";
  Submit(run.panel.session, nothing);
  ASSERT_TRUE(run.Settle());
  EXPECT_EQ(run.Count(EventKind::Stray), 1);
  EXPECT_EQ(run.Count(EventKind::Replied), 1);
  EXPECT_EQ(run.Count(EventKind::NoReply), 1);
  EXPECT_EQ(run.line.plugin.commands[0].payload[1], 0x33);  // a raw payload goes out as given
}

TEST(PanelSession, RefreshesTheFolderAfterCommandsThatUnsortIt) {
  PanelRun run;
  run.line.plugin.lists[1] = {"\\Jazz", "song"};
  BrowseRoot(run.panel);
  ASSERT_TRUE(run.Settle());
  EXPECT_NE(EnqueueFolder(run.panel, 1), "");  // a song is no folder to enqueue
  EXPECT_EQ(EnqueueFolder(run.panel, 0), "");
  ASSERT_TRUE(run.Settle());
  const auto& taken = run.line.plugin.commands;
  ASSERT_GE(taken.size(), 2u);
  const size_t at = taken.size();
  // "P" 2, then "Q" 1 0xFFFF and a fresh transfer
  bool refreshed = false;
  for (size_t i = 0; i + 1 < at; i++) {
    if (taken[i].payload[0] == 'P' && taken[i].payload[2] == kEnqueueFolder) {
      refreshed = taken[i + 1].payload == Bytes{'Q', taken[i + 1].payload[1], 1, 0xFF, 0xFF, 0};
    }
  }
  EXPECT_TRUE(refreshed);
}

TEST(PanelSession, NoticesAQuietLineAndAMissingDevice) {
  PanelRun run;
  run.Run(300);
  run.line.silent = true;
  run.Run(1500);
  run.line.silent = false;
  run.Run(300);
  run.line.problem = "gone";
  run.Run(100);
  run.line.problem.clear();
  run.Run(300);
  const EventKind want[] = {EventKind::LineQuiet, EventKind::LineBack, EventKind::DeviceGone, EventKind::DeviceBack};
  std::vector<EventKind> seen;
  for (const Event& e : run.events) {
    if (e.kind != EventKind::Status) seen.push_back(e.kind);
  }
  ASSERT_GE(seen.size(), 4u);
  for (size_t i = 0; i < 4; i++) EXPECT_EQ(seen[i], want[i]);
}

}  // namespace

// The panel firmware on the simulated board, end to end with the real DLL in the emulated
// player: the status screen, each transport key at the player and back on the display, the
// line lost and found, and the board's resets at each opening of its port.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "board_session.h"

namespace {

constexpr long kWmCommand = 0x111;
constexpr long kWmUser = 0x400;
constexpr int kWaitMs = 5000;

// Three songs the media library knows, the first playing, the player's clock running.
const Model kPlaying = {
    {"library", "C:\\Music\\a.mp3", "Blue Moon", "Nina Ray", "2004", "192", "200"},
    {"library", "C:\\Music\\b.mp3", "Caf\xE9 au lait on a long afternoon", "Les Amis", "1999", "128", "240"},
    {"library", "C:\\Music\\c.mp3", "Night Drive", "Nina Ray", "2004", "192", "180"},
    {"playlist", "add", "C:\\Music\\a.mp3"},
    {"playlist", "add", "C:\\Music\\b.mp3"},
    {"playlist", "add", "C:\\Music\\c.mp3"},
    {"clock", "1"},
    {"pos", "0"},
    {"state", "1"},
};

class BoardE2E : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    session = new BoardSession;
    // A music folder beyond the lists' 500 entries: the two working folders, one.mp3 and
    // two.wav of every installation, and 498 songs; listed folders first, Song 496.mp3
    // is the 500th entry.
    const std::string music = session->plugin.Music();
    std::filesystem::create_directories(music);
    for (int i = 0; i < 498; i++) {
      char name[32];
      std::snprintf(name, sizeof name, "Song %03d.mp3", i);
      session->plugin.player.WriteFile("Music/" + std::string(name), "x");
    }
    ASSERT_EQ(session->Start(kPlaying, {"--trace"}), "init\t0");
  }
  static void TearDownTestSuite() {
    if (session == nullptr) return;  // the set-up failed (no Wine session): it said why
    BoardStats stats;
    EXPECT_EQ(session->board.Stop(5000, &stats), 0);
    // The stack's deepest point, over every test of the suite, within what the 1,400
    // bytes of static RAM at most leave of the 2,048, with 200 bytes to spare.
    std::printf("the stack's deepest point: %d bytes\n", stats.stackBytes);
    EXPECT_GE(stats.stackBytes, 0);
    EXPECT_LE(stats.stackBytes, 2048 - 1400 - 200);
    EXPECT_EQ(stats.overruns, 0);
    EXPECT_EQ(stats.Faults(), 0);  // the start's included
    EXPECT_EQ(session->plugin.player.Stop(), 0);
    delete session;
  }
  // Each test answers for the board's faults in its own time.
  void SetUp() override { from_ = S().board.LineCount(); }
  void TearDown() override { EXPECT_EQ(S().board.Faults(from_), std::vector<std::string>{}); }
  static BoardSession& S() { return *session; }
  static inline BoardSession* session = nullptr;
  size_t from_ = 0;
};

TEST_F(BoardE2E, ShowsThePlayingTitleAndARunningTimeAndSentNothingUntilAKey) {
  ASSERT_TRUE(S().board.WaitForText("Blue Moon", kWaitMs));
  const std::string first = S().board.Display().row0;
  EXPECT_EQ(first.rfind("▶", 0), 0u) << first;
  EXPECT_TRUE(S().board.WaitForDisplay([&](const BoardDisplay& d) { return d.row0 != first; }, 3000))
      << "the time runs";
  BoardStats stats;
  ASSERT_TRUE(S().board.Stats(&stats));
  EXPECT_GE(stats.resets, 3) << "power on, the dialog's look at the port, start-up's opening";
  EXPECT_EQ(stats.commands, 0) << "nothing heard at a reset is taken for a frame to answer";
  EXPECT_GT(stats.statusFrames, 0);
}

TEST_F(BoardE2E, EachTransportKeyReachesThePlayerAndTheDisplayShowsTheResult) {
  struct Case {
    const char* keys;
    long message, wParam, lParam;  // the player's log: the host message the key made
    const char* shown;             // ... and what the display then shows
  } cases[] = {
      {"press right", kWmCommand, 40048, 0, "Cafe au lait"},  // next, its title folded
      {"press left", kWmCommand, 40044, 0, "Blue Moon"},      // previous
      {"press select", kWmCommand, 40046, 0, "‖"},            // pause
      {"press select", kWmCommand, 40046, 0, "▶"},            // resume
      {"hold left 900", kWmCommand, 40047, 0, "■"},           // stop
      {"press select", kWmCommand, 40045, 0, "▶"},            // play
      {"press up", kWmUser, 135, 122, "Volume up"},
      {"press down", kWmUser, 125, 122, "Volume down"},
      {"hold right 900", kWmUser, 1, 252, "⇄"},  // shuffle on
      {"hold right 900", kWmUser, 0, 252, "Shuffle off"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    const size_t from = S().plugin.player.HostCallCount();
    S().board.Do(c.keys);
    EXPECT_TRUE(S().plugin.player.WaitForHostCall(
        from, [&](const HostCall& h) { return h.message == c.message && h.wParam == c.wParam && h.lParam == c.lParam; },
        kWaitMs));
    EXPECT_TRUE(S().board.WaitForText(c.shown, kWaitMs)) << S().board.Display().row0 << "|" << S().board.Display().row1;
  }
  // The time left: no message to the player, the status frames' time turns negative.
  S().board.Do("hold up 900");
  EXPECT_TRUE(
      S().board.WaitForDisplay([](const BoardDisplay& d) { return d.row0.find('-') != std::string::npos; }, kWaitMs));
  S().board.Do("hold up 900");
  EXPECT_TRUE(
      S().board.WaitForDisplay([](const BoardDisplay& d) { return d.row0.find('-') == std::string::npos; }, kWaitMs))
      << S().board.Display().row0 << "|" << S().board.Display().row1;
}

// The chunks the panel asked for ("L" 0) among the board's lines [from, to).
size_t ChunksAsked(const std::vector<std::string>& lines, size_t from, size_t to) {
  size_t n = 0;
  for (size_t i = from; i < to && i < lines.size(); i++) {
    const std::string& line = lines[i];
    if (line.rfind("tx ", 0) == 0 && line.size() >= 4 && line.compare(line.size() - 4, 4, " L 0") == 0) n++;
  }
  return n;
}

// Counted in chunks rather than in time, so that a loaded machine cannot fail it: the
// last entry is reached with at most the chunks of one whole stream.
TEST_F(BoardE2E, TheLastOfFiveHundredEntriesWithinOneWholeTransfer) {
  S().board.Do("hold select 800");
  ASSERT_TRUE(S().board.WaitForText(">Browse", kWaitMs));
  size_t at = S().board.LineCount();
  S().board.Do("press select");
  // The folder's count is learnt by one whole stream ("L" 6, then "L" 0 to the end of
  // the list), after which the panel asks which list the plug-in holds ("Q" 5).
  size_t streamedAt = 0;
  const double streamed = S().board.TimeOf("tx", " L 6", at, &streamedAt);
  const double counted = S().board.TimeOf("tx", " Q 5", streamedAt, &at);
  ASSERT_GT(streamed, 0);
  ASSERT_GT(counted, streamed);
  const size_t countedAt = at;
  S().board.Do("hold right 900");  // to the last entry
  size_t askedAt = 0;
  size_t shownAt = 0;
  const double asked = S().board.TimeOf("tx", " L 6", at, &askedAt);
  const double shown = S().board.TimeOf("display", ">Song 496", askedAt, &shownAt);
  ASSERT_GT(asked, 0);
  ASSERT_GT(shown, asked);
  const std::vector<std::string> lines = S().board.Lines();
  const size_t whole = ChunksAsked(lines, streamedAt, countedAt);
  const size_t toLast = ChunksAsked(lines, askedAt, shownAt);
  std::printf("500 entries: a whole transfer %.0f ms in %zu chunks; from the first entry to the last %.0f ms in %zu\n",
              counted - streamed, whole, shown - asked, toLast);
  EXPECT_GT(whole, 0u);
  EXPECT_LE(toLast, whole) << "at most one whole transfer";
  S().board.Do("hold left 800");  // the menu
  S().board.Do("press left");     // the status screen
  EXPECT_TRUE(S().board.WaitForText(":", kWaitMs));
}

TEST_F(BoardE2E, NoLinkWhileThePlayerIsGoneAndTheStatusWhenItIsBack) {
  EXPECT_EQ(S().plugin.player.Command({"quit"}), "quit\tdone");
  EXPECT_TRUE(S().board.WaitForText("No link", 3000));
  EXPECT_EQ(S().plugin.Init(), "init\t0");
  EXPECT_TRUE(
      S().board.WaitForDisplay([](const BoardDisplay& d) { return d.row0.find(':') != std::string::npos; }, kWaitMs));
}

}  // namespace

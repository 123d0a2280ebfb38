// One tick from end to end, with a scripted player, line and handlers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "config/settings.h"
#include "fakes/fake_handlers.h"
#include "fakes/fake_host.h"
#include "fakes/fake_port.h"
#include "fakes/fake_timer.h"
#include "protocol/poll_tick.h"
#include "protocol/reply_buffer.h"
#include "protocol/status_frame.h"
#include "serial/frame.h"
#include "serial/port_recovery.h"

namespace {

using Bytes = std::vector<uint8_t>;

class PollTickTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFakeHost();
    ResetFakeLine();
    ResetFakeHandlers();
    ArmCalls = 0;
    QuitAfterChecks = -1;
    QuitChecks = 0;
    PollStats = {};
    FrameSequence = 0;
    TimeDisplayMode = 0;
    std::memset(ReplyBuffer, 0, sizeof ReplyBuffer);
    std::snprintf(CurrentFolder, sizeof CurrentFolder, "%s", "C:\\Music\\");
    PortStats = {};
    WatchPanelPort(1, 115200);
    Line.nowMs = kQuietAfterOpenMs;  // the line's quiet after start-up's open is over
  }
  void Tick() {
    const int before = ArmCalls;
    PollTick();
    ASSERT_EQ(ArmCalls, before + 1) << "every tick re-arms exactly once";
  }
  void Fill(int n) {
    Host.files.clear();
    for (int i = 0; i < n; i++) Host.files.push_back("C:\\Music\\" + std::to_string(i) + ".mp3");
  }
  void Post(const Bytes& reply) { PostReply(reply.data(), static_cast<uint32_t>(reply.size())); }
  std::vector<Bytes> Frames() const { return Line.WrittenFrames(); }
  static Bytes PayloadOf(const Bytes& frame) { return Bytes(frame.begin() + 4, frame.end() - 2); }
};

TEST_F(PollTickTest, IdleTickAsksTheHostInOrderAndSendsOneStatusFrame) {
  Fill(2);
  Tick();
  const std::vector<std::string> expected = {"124", "125", "104", "250", "105 0", "211 0",
                                             "296 C:\\Music\\0.mp3 TITLE 40", "107"};
  EXPECT_EQ(Host.calls, expected);
  const auto frames = Frames();
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0][3], 92);
  EXPECT_EQ(frames[0][4], 'B');
  EXPECT_EQ(Line.readWaits.front(), kCommandWaitMs);
  EXPECT_TRUE(HandledCommands.empty());
}

TEST_F(PollTickTest, TrimsTheHostPlaylistTo500WithinTheTick) {
  Fill(620);
  Tick();
  const auto deletes = Host.CallsStartingWith("delete");
  ASSERT_EQ(deletes.size(), 120u);
  EXPECT_EQ(deletes.front(), "delete 619");  // highest position first
  EXPECT_EQ(deletes.back(), "delete 500");
  EXPECT_EQ(Host.files.size(), 500u);
  EXPECT_EQ(Host.files.back(), "C:\\Music\\499.mp3");
  const Bytes status = PayloadOf(Frames().at(0));
  EXPECT_EQ(status[8], 0x01);
  EXPECT_EQ(status[9], 0xF4);
  EXPECT_EQ(PlaylistLength, 500);
}

TEST_F(PollTickTest, Exactly500EntriesLoseNone) {
  Fill(500);
  Tick();
  EXPECT_TRUE(Host.CallsStartingWith("delete").empty());
}

TEST_F(PollTickTest, QuitCutsTheTrimShortAndEndsTheTick) {
  const struct Case {
    int quitAfter;   // QuitRequested() answers false this many times first
    size_t deletes;
    size_t frames;
  } cases[] = {
      {0, 0, 0},     // quit before the first deletion: no message more to the player
      {50, 50, 0},   // quit halfway: it stops at once, and no frame reports 570 entries
      {-1, 120, 1},  // no quit: the whole trim, then the status frame
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.quitAfter);
    SetUp();
    QuitAfterChecks = c.quitAfter;
    QuitChecks = 0;
    Fill(620);
    Tick();
    EXPECT_EQ(Host.CallsStartingWith("delete").size(), c.deletes);
    EXPECT_EQ(Frames().size(), c.frames);
  }
}

TEST_F(PollTickTest, PositionAbove500IsSentAs500) {
  Fill(3);
  Host.position = 700;
  Tick();
  const Bytes status = PayloadOf(Frames().at(0));
  EXPECT_EQ(status[10], 0x01);
  EXPECT_EQ(status[11], 0xF4);
  EXPECT_EQ(PlaylistPosition, 500u);
}

TEST_F(PollTickTest, PendingReplyGoesOutOnAnIdleTickOnly) {
  Post({'L', 1, 5, 0, 0, 0});
  Line.Queue(EncodeFrame({'P', 0, 0}));
  Tick();  // a command arrived: the reply waits
  EXPECT_EQ(Frames().size(), 1u);
  EXPECT_TRUE(ReplyPending());

  Tick();  // idle: status, then the reply with sequence byte 0
  const auto frames = Frames();
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[2], EncodeFrame({'L', 1, 5, 0, 0, 0}, 0));
  EXPECT_FALSE(ReplyPending());
  for (uint8_t b : ReplyBuffer) ASSERT_EQ(b, 0);

  Tick();  // nothing pending: only the status frame
  EXPECT_EQ(Frames().size(), 4u);
}

TEST_F(PollTickTest, ACommandOnEveryTickHoldsBackTheReplyAndTheLatestWins) {
  OnHandle = [](const uint8_t* command) {
    const uint8_t reply[6] = {'L', 0, 1, 0, 0, command[1]};
    PostReply(reply, sizeof reply);
  };
  for (uint8_t i = 1; i <= 5; i++) {
    Line.Queue(EncodeFrame({'L', i, 6}));
    Tick();
  }
  EXPECT_EQ(Frames().size(), 5u);  // status frames only
  Tick();
  const auto frames = Frames();
  ASSERT_EQ(frames.size(), 7u);
  EXPECT_EQ(PayloadOf(frames[6]), (Bytes{'L', 0, 1, 0, 0, 5}));
}

TEST_F(PollTickTest, ALostReplyIsClearedAllTheSame) {
  Post({'I', 0, 0});
  Line.failWriteNumber = 1;  // the status frame is write 0; the reply falls short
  Line.shortCount = 1;
  Tick();
  EXPECT_FALSE(ReplyPending());
  EXPECT_EQ(PollStats.repliesLost, 1u);
}

TEST_F(PollTickTest, AChangedPlaylistIsMarkedCleanAndReReadByTheMadeUpQ3) {
  Host.changed = 1;
  Post({'X', 1, 2});
  Tick();
  EXPECT_EQ(Host.changed, 0);
  const auto calls = Host.calls;
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[calls.size() - 2], "107");
  EXPECT_EQ(calls.back(), "108");
  ASSERT_EQ(HandledCommands.size(), 1u);
  EXPECT_EQ(HandledCommands[0].letter, 'Q');
  EXPECT_EQ(HandledCommands[0].payload[2], 3);
  // The earlier reply went out before the change was looked at.
  EXPECT_EQ(Frames().size(), 2u);
}

TEST_F(PollTickTest, ReceivedCommandsReachTheirHandlerWithZerosPastTheirLength) {
  Host.changed = 1;  // looked at only on idle ticks
  Line.Queue(EncodeFrame({'P'}));
  Tick();
  ASSERT_EQ(HandledCommands.size(), 1u);
  EXPECT_EQ(HandledCommands[0].letter, 'P');
  Bytes expected(16, 0);
  expected[0] = 'P';
  EXPECT_EQ(HandledCommands[0].payload, expected);
  EXPECT_TRUE(Host.CallsStartingWith("107").empty());
}

TEST_F(PollTickTest, EveryLetterOfTheTableIsRoutedAndNoOther) {
  for (int letter = 0; letter < 256; letter++) {
    ResetFakeHandlers();
    Line.Queue(EncodeFrame({static_cast<uint8_t>(letter), 0, 1}));
    Tick();
    const bool routed = std::string("EFILOPQS").find(static_cast<char>(letter)) != std::string::npos && letter != 0;
    EXPECT_EQ(HandledCommands.size(), routed ? 1u : 0u) << letter;
  }
}

TEST_F(PollTickTest, AnUnknownLetterChangesNothing) {
  Post({'D', 0, 0, 1, 'x', 0});
  Line.Queue(EncodeFrame({'Z', 9, 9, 9}));
  Tick();
  EXPECT_TRUE(HandledCommands.empty());
  EXPECT_EQ(PollStats.unknownLetters, 1u);
  EXPECT_TRUE(ReplyPending());
  EXPECT_EQ(Frames().size(), 1u);
  EXPECT_TRUE(Host.CallsStartingWith("107").empty());
}

// Whichever call finds the port gone, the tick stops at the line: the panel is still owed
// the pending reply and the news of a changed playlist when it comes back.
TEST_F(PollTickTest, APortThatGoesAwayEndsTheTicksLineWorkAndKeepsWhatThePanelIsOwed) {
  struct Case {
    const char* what;
    void (*arrange)();
  } cases[] = {
      {"the line status", [] { Line.Unplug(); }},
      {"the status frame's write", [] { Line.failWriteNumber = 0, Line.shortCount = -1, Line.failCode = 5; }},
      {"the command's read", [] { Line.failReadNumber = 0, Line.failCode = 1167; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    Post({'L', 1, 5, 0, 0, 0});
    Host.changed = 1;
    c.arrange();
    Tick();
    EXPECT_FALSE(Line.open);
    EXPECT_EQ(PortStats.losses, 1u);
    EXPECT_TRUE(ReplyPending());
    EXPECT_EQ(Host.changed, 1);
    EXPECT_TRUE(HandledCommands.empty());
    EXPECT_LE(Line.readWaits.size(), 1u);
    EXPECT_EQ(Line.callsWhileClosed, 0);
  }
}

// Nor may the made-up "Q" 3 of a playlist changed meanwhile take the kept reply's place.
TEST_F(PollTickTest, AReplyWhoseOwnWriteFindsThePortGoneGoesOutOnceItIsBack) {
  Post({'I', 0, 0});
  Host.changed = 1;
  Line.failWriteNumber = 1;  // the status frame is write 0
  Line.shortCount = -1;
  Tick();
  EXPECT_FALSE(Line.open);
  EXPECT_TRUE(ReplyPending());
  EXPECT_TRUE(HandledCommands.empty());
  Line.nowMs += kReopenIntervalMs;
  Tick();  // opens again
  EXPECT_TRUE(Line.open);
  Line.nowMs += kQuietAfterOpenMs;
  Tick();  // the first idle tick after the quiet delivers it
  EXPECT_EQ(Frames().back(), EncodeFrame({'I', 0, 0}, 0));
  EXPECT_EQ(PollStats.repliesSent, 1u);
  EXPECT_EQ(PollStats.repliesLost, 0u);
}

// Opening the port resets an Uno into its bootloader, which takes status bytes for
// commands: for 2 s after every open the tick leaves the line alone, and keeps what the
// panel is owed.
TEST_F(PollTickTest, TheLineStaysQuietForTwoSecondsAfterEveryOpen) {
  const auto quietFor = [](uint32_t from) {
    Line.writes.clear();
    Line.readWaits.clear();
    for (Line.nowMs = from; Line.nowMs - from < kQuietAfterOpenMs; Line.nowMs += 35) PollTick();
    return Line.writes.empty() && Line.readWaits.empty();
  };
  SetUp();
  WatchPanelPort(1, 115200);  // start-up's open
  Post({'L', 1, 5, 0, 0, 0});
  EXPECT_TRUE(quietFor(Line.nowMs));
  Tick();
  EXPECT_EQ(Frames().size(), 2u) << "the status frame, and the reply kept for it";
  Line.Unplug();
  Tick();
  Line.plugged = true;
  Line.nowMs += kReopenIntervalMs;
  Tick();  // a reopen
  ASSERT_TRUE(Line.open);
  EXPECT_TRUE(quietFor(Line.nowMs));
  Tick();
  EXPECT_EQ(Frames().size(), 1u);
}

// Drivers without the line-status call, and line errors that a driver set to abort on
// them reports as 995: the port reads and writes, so it stays open and keeps its frames.
TEST_F(PollTickTest, ALineStatusOrALineErrorAloneNeverClosesAPortThatReadsAndWrites) {
  struct Case {
    const char* what;
    void (*arrange)();
    int changeAtTick;  // -1: from the start
    size_t handled;    // of the 40 commands sent
  } cases[] = {
      {"no line-status call at all", [] { Line.lineStatusCode = 1; }, -1, 40},
      {"a line status that stops answering", [] { Line.lineStatusCode = 50; }, 3, 40},
      // Each line error stops the line until it is cleared, and a call that goes through
      // between them starts the count again.
      {"reads broken off by line errors", [] { Line.lineErrorReads = {4, 12, 20}; }, -1, 37},
      // Cleared at once: the same tick's read still takes its command.
      {"a write broken off by a line error",
       [] { Line.failWriteNumber = 2, Line.shortCount = -1, Line.failCode = 995; }, -1, 40},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    for (int i = 0; i < 40; i++, Line.nowMs += 35) {
      if (i == c.changeAtTick || (c.changeAtTick < 0 && i == 0)) c.arrange();
      Line.Queue(EncodeFrame({'P'}), Line.nowMs + 5);
      Tick();
    }
    EXPECT_TRUE(Line.open);
    EXPECT_EQ(Line.closes, 0);
    EXPECT_TRUE(Line.openTries.empty());
    EXPECT_EQ(HandledCommands.size(), c.handled);
  }
}

TEST_F(PollTickTest, ThreeCallsInARowFailingWith995AreAPortGone) {
  Line.failCode = 995;
  Line.Unplug();
  Tick();  // the status write and the command's read: each followed by a clearing
  EXPECT_TRUE(Line.open);
  EXPECT_EQ(PortStats.lineErrors, 2u);
  Tick();  // the third, the next status write, closes it before the read
  EXPECT_FALSE(Line.open);
  EXPECT_EQ(PortStats.losses, 1u);
  EXPECT_EQ(PortStats.lineErrors, 2u);
}

TEST_F(PollTickTest, WhileThePortIsGoneTicksKeepThePlaylistInBoundsAndLeaveTheLineAlone) {
  Line.Unplug();
  for (int i = 0; i < 40; i++, Line.nowMs += 35) {
    Fill(501 + i);
    Tick();
    ASSERT_EQ(Host.files.size(), 500u);
  }
  EXPECT_TRUE(Line.writes.empty());
  EXPECT_EQ(Line.callsWhileClosed, 0);
}

TEST_F(PollTickTest, BackOnTheLineTheTickCarriesOnWhereItWas) {
  Tick();
  Post({'L', 1, 5, 0, 0, 0});
  Host.changed = 1;
  TimeDisplayMode = 1;
  Line.Unplug();
  Line.nowMs += 500;
  Tick();
  Line.plugged = true;
  Line.nowMs += kReopenIntervalMs;
  Tick();  // opens again
  EXPECT_TRUE(Line.open);
  Line.nowMs += kQuietAfterOpenMs;
  Tick();
  const auto frames = Frames();
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[1][2], 2);  // the sequence goes on; the frame that found the port gone had 1
  EXPECT_EQ(frames[2], EncodeFrame({'L', 1, 5, 0, 0, 0}, 0));
  ASSERT_EQ(HandledCommands.size(), 1u);  // the change made while it was gone
  EXPECT_EQ(HandledCommands[0].letter, 'Q');
  EXPECT_EQ(TimeDisplayMode, 1);
  EXPECT_EQ(PortStats.reopens, 1u);
}

}  // namespace

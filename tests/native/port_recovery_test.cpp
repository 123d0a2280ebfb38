// Telling a dead port from a quiet one, and when to try opening it again.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "fakes/fake_port.h"
#include "serial/port_io.h"
#include "serial/port_opener.h"
#include "serial/port_recovery.h"

namespace {

TEST(PortRecovery, OnlyATimeOutIsNotAPortGone) {
  struct Case {
    uint32_t code;
    bool gone;
  } cases[] = {
      {1, true},      // Wine, a pty closed behind the COM name
      {5, true},      // a pulled USB adapter on Windows...
      {22, true},
      {31, true},
      {1167, true},
      {21, true},     // the other end went away: the handle never recovers
      {6, true},      // no handle
      {0, true},      // a failure that gave no reason is still a failure
      {121, false},   // a driver that fails a read that ran out of time
      {258, false},
      {1460, false},
  };
  for (const Case& c : cases) EXPECT_EQ(FailureMeansPortGone(c.code), c.gone) << c.code;
}

TEST(PortRecovery, AnIntervalPassesAcrossTheClocksWrap) {
  struct Case {
    uint32_t now;
    uint32_t last;
    bool due;
  } cases[] = {
      {999, 0, false},           // a busy loop of opens would hold every tick up
      {1000, 0, true},
      {5000, 0, true},           // long gone: straight away
      {100, 0xFFFFFF00u, false}, // 356 ms across the wrap
      {800, 0xFFFFFF00u, true},  // 1056 ms across the wrap, not 4 billion back
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IntervalPassed(c.now, c.last, kReopenIntervalMs), c.due) << c.now << " " << c.last;
  }
}

// The read or write that finds the port gone, as the codec reports it.
void FailACall() { NotePortFailure(22); }

void StartWatching() {
  ResetFakeLine();
  PortStats = {};
  WatchPanelPort(2, 115200);
}

TEST(PortRecovery, AGonePortIsTriedAboutOnceASecondUntilItOpensAsBefore) {
  StartWatching();
  Line.nowMs = 400;
  Line.Unplug();
  FailACall();  // 400 ms after start-up's open
  EXPECT_EQ(Line.closes, 1);
  EXPECT_FALSE(PanelPortReady());
  EXPECT_TRUE(Line.openTries.empty());
  // Ticks 35 ms apart for three seconds: a try on the first tick a second after the last.
  for (Line.nowMs = 400; Line.nowMs < 3500; Line.nowMs += 35) EXPECT_FALSE(PanelPortReady());
  ASSERT_EQ(Line.openTries.size(), 3u);
  uint32_t last = 0;  // start-up's open
  for (uint32_t at : Line.openTries) {
    EXPECT_GE(at - last, kReopenIntervalMs);
    EXPECT_LT(at - last, kReopenIntervalMs + 35);
    last = at;
  }
  Line.plugged = true;
  for (PanelPortReady(); !Line.open; PanelPortReady()) Line.nowMs += 35;
  EXPECT_LT(Line.nowMs - last, kReopenIntervalMs + 35);
  EXPECT_EQ(Line.openedPort, 2u);  // the same port and rate as start-up
  EXPECT_EQ(Line.openedBaud, 115200u);
  EXPECT_EQ(PortStats.reopenTries, 4u);
  EXPECT_EQ(PortStats.reopens, 1u);
  EXPECT_EQ(Line.callsWhileClosed, 0);
}

// A Bluetooth port whose panel is off tries to connect for seconds: the ticks go on
// without waiting for it, no second open piles up behind it, and quit leaves it to close
// what it produces.
TEST(PortRecovery, AnOpenThatHangsHoldsNeitherTheTicksNorQuit) {
  StartWatching();
  Line.openBlocks = true;
  FailACall();
  for (Line.nowMs = 0; Line.nowMs < 5000; Line.nowMs += 35) EXPECT_FALSE(PanelPortReady());
  EXPECT_EQ(Line.openTries.size(), 1u);
  EXPECT_TRUE(Line.openHanging);

  // It gets through before quit: the next tick takes the port.
  Line.FinishOpen();
  PanelPortReady();
  EXPECT_TRUE(Line.open);
  EXPECT_EQ(PortStats.reopens, 1u);

  // It hangs when quit comes: quit returns at once, and the port it then opens is closed.
  FailACall();
  Line.nowMs += kReopenIntervalMs;
  EXPECT_FALSE(PanelPortReady());
  ASSERT_TRUE(Line.openHanging);
  AbandonPortOpen();
  Line.FinishOpen();
  EXPECT_EQ(Line.unusedCloses, 1);
  EXPECT_FALSE(Line.open);
  EXPECT_EQ(TakePortOpen(), kOpenNone);

  // Produced but not yet taken when quit comes: quit closes it.
  Line.openBlocks = false;
  Line.nowMs += kReopenIntervalMs;
  ASSERT_TRUE(BeginPortOpen(2, 115200));
  AbandonPortOpen();
  EXPECT_EQ(Line.unusedCloses, 2);
  EXPECT_FALSE(Line.open);
}

// A Bluetooth open blocks for seconds and then fails: the next one waits a second from
// that failure, not from its start, so the adapter is not paged again at once.
TEST(PortRecovery, AnOpenThatFailsAfterBlockingIsTriedAgainASecondAfterItsFailure) {
  StartWatching();
  Line.openBlocks = true;
  Line.plugged = false;
  FailACall();
  Line.nowMs = kReopenIntervalMs;
  EXPECT_FALSE(PanelPortReady());
  ASSERT_EQ(Line.openTries.size(), 1u);
  Line.nowMs += 8000;
  Line.FinishOpen();  // fails: the panel is still off
  for (const uint32_t failedAt = Line.nowMs; Line.nowMs - failedAt < 2 * kReopenIntervalMs; Line.nowMs += 35) {
    PanelPortReady();
    if (Line.openTries.size() > 1) {
      EXPECT_GE(Line.openTries[1] - failedAt, kReopenIntervalMs);
      break;
    }
  }
  EXPECT_EQ(Line.openTries.size(), 2u);
}

// Start-up's open and the dialog's check run on the player's window thread: they wait
// for the helper a few seconds at most.
TEST(PortRecovery, AWindowThreadWaitsForAnOpenThreeSecondsAtMost) {
  StartWatching();
  Line.open = false;
  Line.openTakesMs = 400;  // a slow driver, but within the wait
  EXPECT_TRUE(OpenPortWithin(3, 115200, kWindowOpenWaitMs));
  EXPECT_TRUE(Line.open);
  EXPECT_EQ(Line.openedPort, 3u);

  PortClose();
  Line.openBlocks = true;  // a Bluetooth port whose panel is off
  const uint32_t start = Line.nowMs;
  EXPECT_FALSE(OpenPortWithin(3, 115200, kWindowOpenWaitMs));
  EXPECT_GE(Line.nowMs - start, kWindowOpenWaitMs);
  EXPECT_LT(Line.nowMs - start, kWindowOpenWaitMs + 100);
  EXPECT_FALSE(Line.open);
  // The helper still blocks: the next check counts the port as not there at once, and
  // the port the helper produces in the end is closed, not left open.
  EXPECT_FALSE(OpenPortWithin(3, 115200, kWindowOpenWaitMs));
  EXPECT_EQ(Line.openTries.size(), 2u);
  Line.plugged = true;
  Line.FinishOpen();
  EXPECT_EQ(Line.unusedCloses, 1);
  EXPECT_FALSE(Line.open);
}

// An abandoned helper still runs: no second one may start beside it, since both would
// share the one job and the one hand-over.
TEST(PortRecovery, NoOpenBeginsWhileAnAbandonedOneStillRuns) {
  StartWatching();
  Line.openBlocks = true;
  ASSERT_TRUE(BeginPortOpen(2, 115200));
  AbandonPortOpen();
  EXPECT_FALSE(BeginPortOpen(2, 115200));
  AbandonPortOpen();  // a second quit changes nothing
  EXPECT_FALSE(BeginPortOpen(2, 115200));
  EXPECT_EQ(Line.openTries.size(), 1u);
  Line.FinishOpen();
  EXPECT_EQ(Line.unusedCloses, 1);
  EXPECT_TRUE(BeginPortOpen(2, 115200));
}

// The helper's report and quit race on two threads: whichever comes first, the port the
// helper produced is closed exactly once, and the hand-over is free again. One helper
// thread serves every round; each round starts both sides at once.
TEST(PortRecovery, AHelperFinishingAsQuitComesClosesItsPortExactlyOnce) {
  StartWatching();
  Line.openBlocks = true;
  constexpr int kRounds = 50000;
  std::atomic<int> go{0};
  std::atomic<int> done{0};
  int token = 0;
  std::thread helper([&] {
    for (int round = 1; round <= kRounds; round++) {
      while (go.load() < round) {
      }
      PortOpenFinished(&token);
      done = round;
    }
  });
  int misses = 0;
  for (int round = 1; round <= kRounds; round++) {
    Line.unusedCloses = 0;
    const bool begun = BeginPortOpen(2, 115200);
    go = round;
    AbandonPortOpen();
    while (done.load() < round) {
    }
    if (!begun || Line.unusedCloses != 1 || TakePortOpen() != kOpenNone) misses++;
  }
  helper.join();
  EXPECT_EQ(misses, 0);
  Line.openHanging = false;
}

}  // namespace

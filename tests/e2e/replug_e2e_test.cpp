// The panel unplugged and plugged back while the real DLL runs in the emulated player:
// the pty behind COM1 is closed at both ends, then a new one is put behind the same name.
// The command handlers are not what is tested here: a command counts as taken when the
// tick that took it skipped the idle tick's question about the playlist.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "plugin_session.h"

namespace {

constexpr int kWaitMs = 5000;

const Model kPlaying = {{"playlist", "fill", "3", "C:\\Music\\song%d.mp3"}, {"state", "1"}};

bool IsStatusFrame(const Frame& f) { return DecodeStatus(f.payload).has_value(); }
bool IsTickStart(const HostCall& c) { return c.window == "main" && c.message == 1024 && c.lParam == 124; }
bool IsChangedQuestion(const HostCall& c) { return c.window == "playlist" && c.wParam == 107; }
bool IsMarkedClean(const HostCall& c) { return c.window == "playlist" && c.wParam == 108; }

// The tick goes on reading the player while the line is gone.
bool WaitForTicks(PluginSession& s, int ticks) {
  for (int i = 0; i < ticks; i++) {
    if (!s.player.WaitForHostCall(s.player.HostCallCount(), IsTickStart, 3000)) return false;
  }
  return true;
}

// Only a tick that took no command asks whether the playlist changed: a whole tick in
// the log without that question took a command frame.
bool WaitForTickWithCommand(PluginSession& s, size_t from) {
  bool inTick = false;
  bool asked = false;
  return s.player.WaitForHostCall(
      from,
      [&](const HostCall& c) {
        if (IsChangedQuestion(c)) asked = true;
        if (!IsTickStart(c)) return false;
        const bool tookCommand = inTick && !asked;
        inTick = true;
        asked = false;
        return tookCommand;
      },
      kWaitMs);
}

bool Called(PluginSession& s, size_t from, bool (*pred)(const HostCall&)) {
  const std::vector<HostCall> calls = s.player.HostCalls();
  for (size_t i = from; i < calls.size(); i++) {
    if (pred(calls[i])) return true;
  }
  return false;
}

TEST(ReplugE2E, ThePanelPluggedBackIsServedAgainWithTheSameState) {
  PluginSession s;
  ASSERT_EQ(s.Start(kPlaying), "init\t0");
  ASSERT_TRUE(s.line.WaitForCount(3, kWaitMs));
  std::vector<double> backAfterMs;
  for (int round = 0; round < 3; round++) {
    SCOPED_TRACE(round);
    const uint8_t lastSequence = s.line.Frames().back().sequence;
    const size_t unpluggedAt = s.player.HostCallCount();
    s.line.Unplug();
    // 40 ticks, over a second: the port was found gone and tried again meanwhile.
    ASSERT_TRUE(WaitForTicks(s, 40));
    EXPECT_EQ(s.player.Command({"sync"}, 2000), "ok\tsync");  // the player's own thread is free
    s.Set({"changed", "1"});
    ASSERT_TRUE(WaitForTicks(s, 5));
    EXPECT_FALSE(Called(s, unpluggedAt, IsMarkedClean)) << "a change is kept for the panel's return";

    const size_t from = s.line.FrameCount();
    const size_t pluggedCalls = s.player.HostCallCount();
    const double pluggedAt = s.line.PlugBack();
    Frame first;
    ASSERT_TRUE(s.line.WaitFor(from, IsStatusFrame, kWaitMs, &first));
    backAfterMs.push_back(first.atMs - pluggedAt);
    const uint8_t step = static_cast<uint8_t>(first.sequence - lastSequence);
    EXPECT_TRUE(step >= 1 && step <= 5) << "the sequence goes on: " << int(lastSequence) << " then " << int(first.sequence);
    EXPECT_TRUE(s.player.WaitForHostCall(pluggedCalls, IsMarkedClean, kWaitMs)) << "the change is told now";

    const size_t beforeCommand = s.player.HostCallCount();
    s.line.Send({'O', 0, 0});
    EXPECT_TRUE(WaitForTickWithCommand(s, beforeCommand)) << "commands are taken again";
  }
  EXPECT_EQ(s.player.Command({"msgbox"}, 2000).rfind("msgbox\t", 0), std::string::npos) << "no message box";
  EXPECT_EQ(s.line.BrokenFrames(), 0);
  for (double ms : backAfterMs) std::printf("plugged back to the first status frame: %.0f ms\n", ms);
  EXPECT_EQ(s.player.Command({"quit"}), "quit\tdone");
  EXPECT_EQ(s.player.Stop(), 0);
}

TEST(ReplugE2E, QuitWhileThePortIsGoneStopsCleanlyAndAStartAfterwardsOpensIt) {
  PluginSession s;
  ASSERT_EQ(s.Start(kPlaying), "init\t0");
  ASSERT_TRUE(s.line.WaitForCount(3, kWaitMs));
  s.line.Unplug();
  ASSERT_TRUE(WaitForTicks(s, 40));
  EXPECT_EQ(s.player.Command({"quit"}, 10000), "quit\tdone");
  s.line.PlugBack();
  const size_t from = s.line.FrameCount();
  ASSERT_EQ(s.Init(), "init\t0");
  EXPECT_TRUE(s.line.WaitFor(from, IsStatusFrame, kWaitMs));
  EXPECT_TRUE(s.boxes.empty());
  EXPECT_EQ(s.player.Stop(), 0);
}

}  // namespace

// The panel unplugged and plugged back while the real DLL runs in the emulated player:
// the pty behind COM1 is closed at both ends, then a new one is put behind the same name.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "plugin_session.h"

namespace {

constexpr int kWaitMs = 5000;

// A song plays 65 s into its 200 s, so the time bytes show the display mode.
const Model kPlaying = {{"playlist", "fill", "3", "C:\\Music\\song%d.mp3"},
                        {"state", "1"},
                        {"elapsed", "65000"},
                        {"length", "200"}};

bool Elapsed(const Status& s) { return s.minutes == 1 && s.seconds == 5; }
bool Remaining(const Status& s) { return s.minutes == -2 && s.seconds == -15; }
bool IsStatusFrame(const Frame& f) { return DecodeStatus(f.payload).has_value(); }

// "O" sub-command 0 flips between elapsed and remaining time.
bool FlipTimeDisplay(PluginSession& s, bool (*shows)(const Status&)) {
  s.line.Send({'O', 0, 0});
  return s.NextStatus(shows, kWaitMs);
}

// "S" sub-command 0 sets the player's volume one step up from where the panel left it.
bool VolumeUpTo(PluginSession& s, long long level) {
  const size_t from = s.player.HostCallCount();
  s.line.Send({'S', 0, 0});
  return s.player.WaitForHostCall(
      from, [&](const HostCall& c) { return c.message == 1024 && c.lParam == 122 && c.wParam == level; }, kWaitMs);
}

TEST(ReplugE2E, ThePanelPluggedBackIsServedAgainWithTheSameState) {
  PluginSession s;
  ASSERT_EQ(s.Start(kPlaying), "init\t0");
  ASSERT_TRUE(FlipTimeDisplay(s, Remaining));
  std::vector<double> backAfterMs;
  for (int round = 0; round < 3; round++) {
    SCOPED_TRACE(round);
    s.line.Unplug();
    // 40 ticks, over a second: the port was found gone and tried again meanwhile.
    ASSERT_TRUE(s.WaitForTicks(40));
    EXPECT_EQ(s.player.Command({"sync"}, 2000), "ok\tsync");  // the player's own thread is free

    const size_t from = s.line.FrameCount();
    const double pluggedAt = s.line.PlugBack();
    Frame first;
    ASSERT_TRUE(s.line.WaitFor(from, IsStatusFrame, kWaitMs, &first));
    backAfterMs.push_back(first.atMs - pluggedAt);
    EXPECT_TRUE(Remaining(*DecodeStatus(first.payload))) << "the display mode was kept";

    EXPECT_TRUE(VolumeUpTo(s, 135 + 10 * round)) << "commands work, from the volume they left";
    EXPECT_TRUE(FlipTimeDisplay(s, Elapsed));
    EXPECT_TRUE(FlipTimeDisplay(s, Remaining));
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
  ASSERT_TRUE(s.WaitForTicks(40));
  EXPECT_EQ(s.player.Command({"quit"}, 10000), "quit\tdone");
  s.line.PlugBack();
  const size_t from = s.line.FrameCount();
  ASSERT_EQ(s.Init(), "init\t0");
  EXPECT_TRUE(s.line.WaitFor(from, IsStatusFrame, kWaitMs));
  EXPECT_TRUE(s.boxes.empty());
  EXPECT_EQ(s.player.Stop(), 0);
}

}  // namespace

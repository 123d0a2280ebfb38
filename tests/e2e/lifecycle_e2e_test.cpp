// Start-up and shut-down of the real DLL inside the emulated player.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "plugin_session.h"

namespace {

// Sends init and answers every message box the plug-in shows; returns the box texts
// and init's answer.
std::string InitReadingBoxes(PlayerProcess& player, std::vector<std::string>* boxes) {
  player.Send({"init"});
  const double deadline = NowMs() + 20000;
  while (NowMs() < deadline) {
    const std::string line = player.WaitForLine("init\t", 100);
    if (!line.empty()) return line;
    const std::string box = player.Command({"msgbox"}, 2000);
    if (box.rfind("msgbox\t", 0) == 0) boxes->push_back(box.substr(7));
  }
  return "";
}

TEST(LifecycleE2E, QuitStopsTheTicksAndInitStartsThemAgain) {
  PluginSession s;
  ASSERT_EQ(s.Start(), "init\t0");
  for (int cycle = 0; cycle < 20; cycle++) {
    const size_t frames = s.line.FrameCount();
    ASSERT_TRUE(s.line.WaitForCount(frames + 2, 3000)) << "cycle " << cycle;
    ASSERT_EQ(s.player.Command({"quit"}), "quit\tdone");
    const size_t bytes = s.line.RawByteCount();
    const size_t calls = s.player.HostCallCount();
    usleep(150 * 1000);  // more than three tick periods
    ASSERT_EQ(s.line.RawByteCount(), bytes) << "a tick ran after quit, cycle " << cycle;
    ASSERT_EQ(s.player.HostCallCount(), calls) << "a tick ran after quit, cycle " << cycle;
    ASSERT_EQ(s.player.Command({"init"}), "init\t0") << "cycle " << cycle;
  }
  EXPECT_EQ(s.player.Stop(), 0);
}

TEST(LifecycleE2E, QuitDoesNotWaitForeverOnATickInsideAHostMessage) {
  PluginSession s;
  ASSERT_EQ(s.Start({{"playlist", "fill", "5", "C:\\Music\\s%d.mp3"}}), "init\t0");
  // Every answer now takes 30 ms, so a tick is nearly always waiting inside one when
  // quit starts on the very thread that must answer it.
  s.Set({"slow", "30"});
  for (int round = 0; round < 5; round++) {
    const size_t from = s.player.HostCallCount();
    ASSERT_TRUE(s.player.WaitForHostCall(from, [](const HostCall& c) { return c.lParam == 124; }, 3000));
    const double start = NowMs();
    ASSERT_EQ(s.player.Command({"quit"}, 10000), "quit\tdone");
    EXPECT_LT(NowMs() - start, 2000) << "quit should answer the tick's messages, not time out";
    const size_t calls = s.player.HostCallCount();
    usleep(300 * 1000);
    EXPECT_EQ(s.player.HostCallCount(), calls) << "the tick re-armed after quit";
    ASSERT_EQ(s.player.Command({"init"}, 10000), "init\t0");
  }
  s.Set({"slow", "0"});
  EXPECT_EQ(s.player.Stop(), 0);
}

TEST(LifecycleE2E, AnUnavailablePortIsReportedAndInitFails) {
  const char* dir = std::getenv("QB_PORT_DIR");
  ASSERT_NE(dir, nullptr);
  unlink((std::string(dir) + "/com1").c_str());
  PlayerProcess player;
  player.Start();
  ASSERT_EQ(player.Command({"load"}).rfind("loaded", 0), 0u);
  std::vector<std::string> boxes;
  EXPECT_EQ(InitReadingBoxes(player, &boxes), "init\t-1");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0],
            "Could not open the selected serial port.  Ensure that the selected port is available in your system.");
  EXPECT_EQ(player.Command({"quit"}), "quit\tdone");  // quit tolerates what init did not build
  EXPECT_EQ(player.Stop(), 0);
}

}  // namespace

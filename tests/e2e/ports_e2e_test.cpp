// The panel on COM12, a port that opens only as \\.\COM12, with the real DLL in the
// emulated player. The session maps COM12 to $QB_PORT_DIR/com12, where the line is linked.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "plugin_session.h"

namespace {

constexpr int kWaitMs = 5000;

bool IsStatusFrame(const Frame& f) { return DecodeStatus(f.payload).has_value(); }

bool ServedFrom(PluginSession& s, size_t from) { return s.line.WaitFor(from, IsStatusFrame, kWaitMs); }

std::string Slurp(const std::string& path) {
  std::ostringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}

// Picked on the first run, got back after an unplug, and started by the countdown the
// next time.
TEST(PortsE2E, COM12FromTheFirstPickToTheCountdown) {
  PluginSession s(12);
  s.Install();
  s.player.WriteFile("Plugins/plugin.ini", s.SettingsSection(""));  // no port chosen yet
  s.Launch();
  ASSERT_EQ(s.Init([&] {
    ASSERT_TRUE(s.WaitForDialog());
    s.Set({"pick", "Quillbox Plugin", std::to_string(kPortList), "COM12"});
    EXPECT_TRUE(s.Click(kStartButton));
  }), "init\t0");
  EXPECT_EQ(Slurp(s.PluginIni()), s.SettingsSection("12"));
  ASSERT_TRUE(ServedFrom(s, 0));

  s.line.Unplug();
  ASSERT_TRUE(s.WaitForTicks(40));  // over a second: found gone, and an open tried meanwhile
  s.line.PlugBack();
  EXPECT_TRUE(ServedFrom(s, s.line.FrameCount())) << "not opened again";

  EXPECT_EQ(s.player.Command({"quit"}), "quit\tdone");
  ASSERT_EQ(s.Init([&] { ASSERT_TRUE(s.WaitForDialog()); }), "init\t0");  // nobody clicks
  EXPECT_TRUE(ServedFrom(s, s.line.FrameCount()));
  EXPECT_TRUE(s.boxes.empty());
  EXPECT_EQ(s.player.Command({"quit"}), "quit\tdone");
  EXPECT_EQ(s.player.Stop(), 0);
}

}  // namespace

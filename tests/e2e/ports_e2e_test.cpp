// The panel on COM12, a port that opens only as \\.\COM12, with the real DLL in the
// emulated player: picked in the dialog's list, started by the countdown, and got back
// after an unplug. The session maps COM12 to $QB_PORT_DIR/com12, where the line is linked.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "plugin_session.h"

namespace {

constexpr int kPort = 12;
constexpr int kWaitMs = 5000;

bool IsStatusFrame(const Frame& f) { return DecodeStatus(f.payload).has_value(); }

std::string Slurp(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

TEST(PortsE2E, COM12PickedInTheListIsStoredServedAndGotBackAfterAnUnplug) {
  PluginSession s(kPort);
  s.Install();
  s.player.WriteFile("Plugins/plugin.ini", s.SettingsSection(""));  // no port chosen yet
  s.Launch();
  ASSERT_EQ(s.Init([&] {
    ASSERT_TRUE(s.WaitForDialog());
    s.Set({"pick", "Quillbox Plugin", std::to_string(kPortList), "COM12"});
    EXPECT_TRUE(s.Click(kStartButton));
  }), "init\t0");
  EXPECT_TRUE(s.boxes.empty());
  EXPECT_EQ(Slurp(s.PluginIni()), s.SettingsSection("12"));
  ASSERT_TRUE(s.line.WaitFor(0, IsStatusFrame, kWaitMs)) << "no status frame on COM12";

  s.line.Unplug();
  ASSERT_TRUE(s.WaitForTicks(40));  // over a second: found gone, and an open tried meanwhile
  const size_t from = s.line.FrameCount();
  s.line.PlugBack();
  EXPECT_TRUE(s.line.WaitFor(from, IsStatusFrame, kWaitMs)) << "COM12 was not opened again";
  EXPECT_EQ(s.player.Command({"quit"}), "quit\tdone");
  EXPECT_EQ(s.player.Stop(), 0);
}

TEST(PortsE2E, AStoredCOM12CountsDownAndStartsByItself) {
  PluginSession s(kPort);
  s.Install();
  s.Launch();
  // Nobody clicks: the countdown closes the dialog.
  ASSERT_EQ(s.Init([&] { ASSERT_TRUE(s.WaitForDialog()); }), "init\t0");
  EXPECT_TRUE(s.boxes.empty());
  EXPECT_EQ(Slurp(s.PluginIni()), s.SettingsSection("12"));  // not written
  EXPECT_TRUE(s.line.WaitFor(0, IsStatusFrame, kWaitMs));
  EXPECT_EQ(s.player.Command({"quit"}), "quit\tdone");
  EXPECT_EQ(s.player.Stop(), 0);
}

}  // namespace

// One emulated player with the real DLL, and the panel on the other end of a COM port
// (COM1 unless a test names another the session maps).
//
// The player's folder gets what a configured installation has: winamp.ini with the
// playable extensions, Plugins\plugin.ini naming the panel's port and the music folder,
// and the music folder with its two working folders.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "panel_line.h"
#include "player_process.h"

using Model = std::vector<std::vector<std::string>>;

struct PluginSession {
  explicit PluginSession(int comPort = 1) : port(comPort), line(comPort) {}
  int port;
  PanelLine line;
  PlayerProcess player;

  // Linux paths in the player's folder.
  std::string Music() const { return player.Folder() + "/Music/"; }
  std::string WinampIni() const { return player.Folder() + "/winamp.ini"; }
  std::string PluginIni() const { return player.Folder() + "/Plugins/plugin.ini"; }
  // The same as the player sees them.
  std::string WindowsMusic() const { return player.WindowsPath(Music()); }

  // Writes winamp.ini, plugin.ini and the music folder of a configured installation.
  void Install(const std::string& extensionLine = "config_extlist=MP3:WAV:M3U");
  // The plug-in's section of plugin.ini as Install writes it, with this ComPort value.
  std::string SettingsSection(const std::string& comPort) const;
  // Starts the player, applies the model commands and loads the DLL.
  void Launch(const Model& model = {});
  // Sends init and lets `dialog` act on the configuration dialog (by default Configure,
  // then Start); answers every message box on the way. Returns init's answer line.
  std::string Init(const std::function<void()>& dialog = {});
  // Install, Launch and Init with the default clicks.
  std::string Start(const Model& model = {});

  // Presses a dialog button once the dialog is up and the button enabled; false after
  // the wait.
  bool Click(int control, int timeoutMs = 10000);
  // Waits until the dialog has finished opening (it is shown only then), without
  // touching it; false after the wait.
  bool WaitForDialog(int timeoutMs = 10000);
  // The texts of the message boxes answered by Init, in order.
  std::vector<std::string> boxes;

  bool NextStatus(const std::function<bool(const Status&)>& pred, int timeoutMs, Status* found = nullptr);
  // Waits for the player to see `ticks` more ticks start (each within 3 s): the tick
  // goes on reading the player while the line is gone.
  bool WaitForTicks(int ticks);
  void Set(const std::vector<std::string>& command);  // a model command that must answer ok
};

// A suite whose tests share one player: its SetUpTestSuite creates `session` and starts
// it; the player must then exit cleanly after the last test.
class OneSessionSuite : public ::testing::Test {
 protected:
  static void TearDownTestSuite() {
    EXPECT_EQ(session->player.Stop(), 0);
    delete session;
    session = nullptr;
  }
  static PluginSession& S() { return *session; }
  static inline PluginSession* session = nullptr;
};

// Control ids of the configuration dialog.
constexpr int kConfigureButton = 1031;
constexpr int kStartButton = 1011;
constexpr int kQuitButton = 1030;
constexpr int kMusicEdit = 1018;
constexpr int kPlaylistEdit = 1019;
constexpr int kDumpEdit = 1020;
constexpr int kPortList = 1025;
constexpr int kNoSuchControl = 9999;  // no control of the dialog has this id

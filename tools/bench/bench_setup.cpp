#include "bench_setup.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "panel_line.h"

namespace fs = std::filesystem;

namespace {

// The dialog counts down for about five seconds before it closes by itself.
constexpr int kInitWaitMs = 30000;

void Install(PlayerProcess& player) {
  const std::string music = player.Folder() + "/Music/";
  fs::create_directories(music + "QB_Playlists");
  fs::create_directories(music + "QB_Dumped");
  for (int i = 0; i < kMusicFiles; i++) {
    char name[64];
    std::snprintf(name, sizeof name, "Music/Song title number %03d.mp3", i);
    player.WriteFile(name, "x");
  }
  player.WriteFile("winamp.ini", "[Winamp]\r\nconfig_extlist=MP3:WAV:M3U\r\n");
  const std::string root = player.WindowsPath(music);
  player.WriteFile("Plugins/plugin.ini", "\r\n[Quillbox]\r\nComPort=1\r\nLibDir=" + root + "\r\nPlSaveDir=" + root +
                                             "QB_Playlists\\\r\nDumpDir=" + root + "QB_Dumped\\\r\n");
}

std::string Model(PlayerProcess& player) {
  const std::vector<std::vector<std::string>> commands = {
      {"ini", player.WindowsPath(player.Folder() + "/winamp.ini")},
      {"playlist", "fill", std::to_string(kPlaylistEntries), kTrackPattern},
      {"tag", "C:\\Music\\Album\\track000.mp3", "TITLE", "A title of some forty characters, nearly"},
      {"state", "1"},
      {"elapsed", "61000"},
      {"log", "0"},  // the player's own log is a test aid, not part of the tick
  };
  for (const auto& command : commands) {
    const std::string answer = player.Command(command);
    if (answer.rfind("ok", 0) != 0) return command[0] + " answered \"" + answer + "\"";
  }
  return "";
}

// Init returns once the dialog has closed; a message box on the way means the
// installation is not what the plug-in expects, and is closed and reported.
std::string Init(PlayerProcess& player) {
  player.Send({"init"});
  std::string boxes;
  const double deadline = NowMs() + kInitWaitMs;
  while (NowMs() < deadline) {
    const std::string line = player.WaitForLine("init\t", 100);
    if (line == "init\t0") return boxes.empty() ? "" : "init showed " + boxes;
    if (!line.empty()) return "init answered \"" + line + "\"" + boxes;
    const std::string box = player.Command({"msgbox"}, 2000);
    if (box.rfind("msgbox\t", 0) == 0) boxes += " [" + box.substr(7) + "]";
  }
  return "init did not return within " + std::to_string(kInitWaitMs / 1000) + " s" + boxes;
}

}  // namespace

std::string StartBenchPlugin(PlayerProcess& player) {
  Install(player);
  player.Start();
  std::string failure = Model(player);
  if (!failure.empty()) return failure;
  const std::string loaded = player.Command({"load"});
  if (loaded.rfind("loaded", 0) != 0) return "load answered \"" + loaded + "\"";
  return Init(player);
}

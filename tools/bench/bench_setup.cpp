#include "bench_setup.h"

#include <cstdio>
#include <filesystem>

#include "plugin_start.h"

namespace fs = std::filesystem;

namespace {

// Status frames awaited before the first figure: they also let start-up settle.
constexpr size_t kSettleFrames = 20;

void InstallBenchFolder(PlayerProcess& player) {
  const std::string music = player.Folder() + "/Music/";
  fs::create_directories(music + "QB_Playlists");
  fs::create_directories(music + "QB_Dumped");
  for (int i = 0; i < kMusicFiles; i++) {
    char name[64];
    std::snprintf(name, sizeof name, "Music/Song title number %03d.mp3", i);
    player.WriteFile(name, "x");
  }
  player.WriteFile("winamp.ini", "[Winamp]\r\nconfig_extlist=MP3:WAV:M3U\r\n");
  WriteCompleteSettings(player);
}

PlayerCommands BenchModel(const PlayerProcess& player) {
  return {
      {"ini", player.WindowsPath(player.Folder() + "/winamp.ini")},
      {"playlist", "fill", std::to_string(kPlaylistEntries), kTrackPattern},
      {"tag", "C:\\Music\\Album\\track000.mp3", "TITLE", "A title of some forty characters, nearly"},
      {"state", "1"},
      {"elapsed", "61000"},
      {"log", "0"},  // the player's own log is a test aid, not part of the tick
  };
}

}  // namespace

std::string StartBenchPlugin(PlayerProcess& player, PanelLine& line) {
  InstallBenchFolder(player);
  return StartPlugin(player, line, BenchModel(player), kSettleFrames);
}

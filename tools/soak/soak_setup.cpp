#include "soak_setup.h"

#include <cstdio>
#include <iterator>

#include "plugin_start.h"

namespace {

constexpr const char* kFolders[] = {kPlaylistFolder, kDumpFolder, "Rock", "Jazz", "Jazz/Live", "Empty",
                                    "Spoken Word", "Long"};
constexpr const char* kFiles[] = {
    "Abba - Waterloo.mp3", "Intro.mp3", "Ballad.wav", "notes.txt", "cover.jpg",
    "Rock/Intro.mp3",  // the same name as in the music folder: only one of them can be dumped
    "Rock/Riff 1.mp3", "Rock/Riff 2.mp3", "Rock/Riff 3.mp3", "Rock/Riff 4.mp3", "Rock/Loud.wav", "Rock/cover.jpg",
    "Jazz/Blue 1.mp3", "Jazz/Blue 2.mp3", "Jazz/Blue 3.mp3", "Jazz/Live/Set 1.mp3", "Jazz/Live/Set 2.wav",
    "Spoken Word/Chapter 1.mp3", "Spoken Word/Chapter 2.mp3"};
constexpr const char* kRestockFolders[] = {"", "Rock/", "Jazz/", "Jazz/Live/", "Spoken Word/"};
constexpr int kBigSearch = 520;  // more results than the plug-in asks for
constexpr size_t kFirstFrames = 10;

// A name of its own length: the path of one fits the plug-in's 255 characters, the
// other's does not (nor, in the dump folder, its 259).
std::string LongName(size_t length) {
  std::string name = "Long/";
  for (size_t i = 0; name.size() < 5 + length - 4; i++) name += static_cast<char>('a' + i % 26);
  return name + ".mp3";
}

std::string Windows(const PlayerProcess& player, const std::string& relative) {
  return player.WindowsPath(player.Folder() + "/Music/" + relative);
}

void InstallSoakFolder(PlayerProcess& player, FileLedger& ledger, int port) {
  for (const char* folder : kFolders) ledger.AddFolder(folder);
  for (const char* file : kFiles) ledger.Add(file);
  ledger.Add(LongName(190));
  ledger.Add(LongName(235));
  player.WriteFile("winamp.ini", "[Winamp]\r\nconfig_extlist=MP3:WAV\r\n");
  WriteCompleteSettings(player, port);
}

PlayerCommands Library(const PlayerProcess& player) {
  const auto w = [&](const char* relative) { return Windows(player, relative); };
  PlayerCommands commands = {
      {"ini", player.WindowsPath(player.Folder() + "/winamp.ini")},
      {"log", "0"},  // hours of host lines would only fill the test's memory
      {"tag", w("Abba - Waterloo.mp3"), "TITLE", "Waterloo"},
      {"tag", w("Abba - Waterloo.mp3"), "ARTIST", "Abba"},
      {"tag", w("Abba - Waterloo.mp3"), "YEAR", "1974"},
      {"tag", w("Rock/Riff 1.mp3"), "TITLE", "Riff: One? <live>"},  // not a file name as it stands
      {"tag", w("Jazz/Blue 1.mp3"), "TITLE", "A title far longer than the forty characters a panel line shows"},
      {"info", w("Abba - Waterloo.mp3"), "165", "BITRATE=320"},
      {"info", w("Rock/Riff 1.mp3"), "200", "bitrate=128", "GENRE=Rock"},
      {"state", "1"},
      {"elapsed", "61000"},
      {"length", "240"},
  };
  for (const char* song : {"Rock/Intro.mp3", "Rock/Riff 2.mp3", "Rock/Riff 3.mp3", "Rock/Loud.wav"}) {
    commands.push_back({"result", "rock", w(song), song});
  }
  for (const char* song : {"Jazz/Blue 2.mp3", "Jazz/Blue 3.mp3", "Jazz/Live/Set 1.mp3"}) {
    commands.push_back({"result", "jazz", w(song), song});
  }
  commands.push_back({"result", "gone", w("Gone.mp3"), "A song that is not there"});
  commands.push_back({"result", "gone", "", "A result without a path"});
  for (int i = 0; i < kBigSearch; i++) {
    char path[64], title[64];
    std::snprintf(path, sizeof path, "C:\\Big\\%03d.mp3", i);
    std::snprintf(title, sizeof title, "Big result number %03d", i);
    commands.push_back({"result", "big", path, title});
  }
  return commands;
}

}  // namespace

std::vector<std::vector<std::string>> RealPlaylist(const PlayerProcess& player) {
  std::vector<std::vector<std::string>> commands = {{"playlist", "clear"}};
  for (const char* song : {"Abba - Waterloo.mp3", "Intro.mp3", "Rock/Riff 1.mp3", "Rock/Riff 4.mp3",
                           "Jazz/Blue 1.mp3", "Jazz/Live/Set 2.wav", "Spoken Word/Chapter 1.mp3", "Ballad.wav"}) {
    commands.push_back({"playlist", "add", Windows(player, song)});
  }
  commands.push_back({"playlist", "add", "C:\\Music\\Gone\\away.mp3"});
  commands.push_back({"pos", "2"});
  commands.push_back({"changed", "1"});
  return commands;
}

void Restock(FileLedger& ledger, int round) {
  for (size_t i = 0; i < std::size(kRestockFolders); i++) {
    ledger.Add(std::string(kRestockFolders[i]) + "Restocked " + std::to_string(round) + "-" + std::to_string(i) +
               ".mp3");
  }
}

std::string ChangePlayerSide(PlayerProcess& player, int round, int timeoutMs) {
  std::vector<std::vector<std::string>> commands;
  switch (round % 3) {
    case 0:
      commands = {{"playlist", "fill", "520", "C:\\Music\\Album\\track%03d.mp3"}, {"changed", "1"}};
      break;
    case 1:
      commands = RealPlaylist(player);
      break;
    default:
      commands = {{"state", round % 2 ? "3" : "1"}};
      break;
  }
  for (const auto& command : commands) {
    if (player.Command(command, timeoutMs).rfind("ok", 0) != 0) return "the player refused " + command[0];
  }
  return "";
}

namespace {

// The model commands of the soak's player.
PlayerCommands SoakModel(const PlayerProcess& player) {
  PlayerCommands commands = Library(player);
  const auto playlist = RealPlaylist(player);
  commands.insert(commands.end(), playlist.begin(), playlist.end());
  return commands;
}

}  // namespace

std::string LaunchSoakPlugin(PlayerProcess& player, FileLedger& ledger, int port) {
  InstallSoakFolder(player, ledger, port);
  return LaunchPlugin(player, SoakModel(player));
}

std::string RelaunchSoakPlugin(PlayerProcess& player) { return LaunchPlugin(player, SoakModel(player)); }

std::string StartSoakPlugin(PlayerProcess& player, PanelLine& line, FileLedger& ledger) {
  InstallSoakFolder(player, ledger, 1);
  return StartPlugin(player, line, SoakModel(player), kFirstFrames);
}

#include "plugin_start.h"

namespace {

// The dialog counts down for about five seconds before it closes by itself.
constexpr int kInitWaitMs = 30000;
// Once init has returned, a tick comes every 35 to 50 ms.
constexpr int kFirstFramesWaitMs = 5000;

// Init returns once the dialog has closed; a message box on the way means the
// installation is not what the plug-in expects, and is closed and reported.
std::string InitAndWait(PlayerProcess& player) {
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

std::string CompleteSettings(const PlayerProcess& player, const std::string& comPort) {
  const std::string root = player.WindowsPath(player.Folder() + "/Music/");
  return "\r\n[Quillbox]\r\nComPort=" + comPort + "\r\nLibDir=" + root + "\r\nPlSaveDir=" + root +
         "QB_Playlists\\\r\nDumpDir=" + root + "QB_Dumped\\\r\n";
}

void WriteCompleteSettings(PlayerProcess& player, int port) {
  player.WriteFile("Plugins/plugin.ini", CompleteSettings(player, std::to_string(port)));
}

std::string LaunchPlugin(PlayerProcess& player, const PlayerCommands& model) {
  player.Start();
  for (const auto& command : model) {
    const std::string answer = player.Command(command);
    if (answer.rfind("ok", 0) != 0) return command[0] + " answered \"" + answer + "\"";
  }
  const std::string loaded = player.Command({"load"});
  if (loaded.rfind("loaded", 0) != 0) return "load answered \"" + loaded + "\"";
  return InitAndWait(player);
}

std::string StartPlugin(PlayerProcess& player, PanelLine& line, const PlayerCommands& model, size_t frames) {
  const std::string launched = LaunchPlugin(player, model);
  if (!launched.empty()) return launched;
  if (!line.WaitForCount(frames, kFirstFramesWaitMs)) return "no status frames from the plug-in";
  return "";
}

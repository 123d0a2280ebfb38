#include "plugin_session.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "plugin_start.h"

namespace fs = std::filesystem;

void PluginSession::Install(const std::string& extensionLine) {
  player.WriteFile("winamp.ini", "[Winamp]\r\nvolume=200\r\n" + extensionLine + "\r\n");
  fs::create_directories(Music() + "QB_Playlists");
  fs::create_directories(Music() + "QB_Dumped");
  player.WriteFile("Music/one.mp3", "x");
  player.WriteFile("Music/two.wav", "x");
  WriteCompleteSettings(player, port);
}

std::string PluginSession::SettingsSection(const std::string& comPort) const {
  return CompleteSettings(player, comPort);
}

void PluginSession::Launch(const Model& model) {
  player.Start();
  if (fs::exists(WinampIni())) Set({"ini", player.WindowsPath(WinampIni())});
  for (const auto& command : model) Set(command);
  EXPECT_EQ(player.Command({"load"}).rfind("loaded", 0), 0u);
}

bool PluginSession::Click(int control, int timeoutMs) {
  const double deadline = NowMs() + timeoutMs;
  while (NowMs() < deadline) {
    const std::string answer = player.Command({"click", "Quillbox Plugin", std::to_string(control)}, 3000);
    if (answer == "ok\tclick") return true;
    usleep(20 * 1000);  // not up yet, or the button not enabled yet
  }
  return false;
}

bool PluginSession::WaitForDialog(int timeoutMs) {
  const double deadline = NowMs() + timeoutMs;
  while (NowMs() < deadline) {
    // The player answers "nocontrol" only for a dialog that is shown.
    const std::string answer = player.Command({"click", "Quillbox Plugin", std::to_string(kNoSuchControl)}, 3000);
    if (answer == "err\tnocontrol") return true;
    usleep(20 * 1000);
  }
  return false;
}

std::string PluginSession::Init(const std::function<void()>& dialog) {
  player.Send({"init"});
  if (dialog) {
    dialog();
  } else {
    EXPECT_TRUE(Click(kConfigureButton));
    EXPECT_TRUE(Click(kStartButton));
  }
  const double deadline = NowMs() + 20000;
  while (NowMs() < deadline) {
    const std::string line = player.WaitForLine("init\t", 100);
    if (!line.empty()) return line;
    const std::string box = player.Command({"msgbox"}, 2000);
    if (box.rfind("msgbox\t", 0) == 0) boxes.push_back(box.substr(7));
  }
  return "";
}

std::string PluginSession::Start(const Model& model) {
  Install();
  Launch(model);
  return Init();
}

void PluginSession::Set(const std::vector<std::string>& command) {
  const std::string answer = player.Command(command);
  EXPECT_EQ(answer.rfind("ok", 0), 0u) << command[0] << ": " << answer;
}

bool PluginSession::NextStatus(const std::function<bool(const Status&)>& pred, int timeoutMs, Status* found) {
  const size_t from = line.FrameCount();
  Frame frame;
  const bool ok = line.WaitFor(
      from,
      [&](const Frame& f) {
        auto status = DecodeStatus(f.payload);
        return status && pred(*status);
      },
      timeoutMs, &frame);
  if (ok && found) *found = *DecodeStatus(frame.payload);
  return ok;
}

bool PluginSession::WaitForTicks(int ticks) {
  const auto isTickStart = [](const HostCall& c) { return c.window == "main" && c.message == 1024 && c.lParam == 124; };
  for (int i = 0; i < ticks; i++) {
    if (!player.WaitForHostCall(player.HostCallCount(), isTickStart, 3000)) return false;
  }
  return true;
}

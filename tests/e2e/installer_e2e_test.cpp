// The Windows installer that scripts/release.sh makes, run under Wine as administrators
// run it (/S, /D=): into an emulated player's folder, over an older Quillbox, while the
// player holds the DLL, into a folder without a player, and out again with the
// uninstaller that it registers.
//
// The installer accepts a folder that holds the player's program, winamp.exe: each test's
// player folder holds the emulated player under that name as well as under its own, which
// PlayerProcess starts. Both are the same program; only the name is the installer's
// business.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "plugin_session.h"

namespace {

namespace fs = std::filesystem;

const std::string kUninstallKey = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillbox";
const std::string kPlayerKey = "HKCU\\Software\\Winamp";
const std::string kPlayerUninstallKey = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Winamp";
constexpr int kRunMs = 120000;

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::string Version() {
  std::ifstream in(fs::path(QB_SOURCE_DIR) / "VERSION");
  std::string version;
  std::getline(in, version);
  return version;
}

// Every file and folder under `root` ("name/" for a folder) with its content.
using Tree = std::map<std::string, std::string>;
Tree ReadTree(const fs::path& root) {
  Tree tree;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
    const std::string name = fs::relative(entry.path(), root).generic_string();
    if (entry.is_directory()) tree[name + "/"] = "";
    else tree[name] = Slurp(entry.path());
  }
  return tree;
}

// What the installer puts into Plugins\Quillbox: the release's notes, the firmware's hex
// and its sketch, each byte for byte, and the uninstaller.
Tree QuillboxFolder() {
  const fs::path source = QB_SOURCE_DIR;
  Tree tree = {
      {"INSTALL.txt", Slurp(source / "docs/install.txt")},
      {"PANEL.txt", Slurp(source / "docs/panel.txt")},
      {"protocol.md", Slurp(source / "docs/protocol.md")},
      {"LICENSE", Slurp(source / "LICENSE")},
      {"quillbox-panel-" + Version() + ".hex", Slurp(fs::path(QB_AVR_DIR) / "quillbox-panel.hex")},
      {"quillbox_panel/", ""},
  };
  for (const auto& [name, content] : ReadTree(source / "firmware/quillbox_panel")) tree["quillbox_panel/" + name] = content;
  return tree;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// A Linux path as Wine's programs see it.
std::string WindowsPath(const std::string& path) {
  std::string windows = "Z:" + path;
  for (char& c : windows) {
    if (c == '/') c = '\\';
  }
  return windows;
}

// Runs a Windows command line through a batch file whose last line echoes the exit code:
// cmd waits for a window program that a batch file starts, and Wine may kill a process
// that ends itself before its own exit completes (status 137), after which that line is
// what it returned. -1 when the line did not come within the wait.
int RunWindows(const std::string& commandLine) {
  static std::atomic<int> runs{0};  // a test may run one in a thread of its own
  const std::string batch =
      fs::temp_directory_path() / ("qb-installer-" + std::to_string(getpid()) + "-" + std::to_string(runs++) + ".bat");
  std::ofstream(batch) << "@echo off\r\n" << commandLine << "\r\necho qb-exit %errorlevel%\r\n";
  const ChildProcess child = StartChild({"wine", "cmd", "/c", WindowsPath(batch)});
  close(child.toChild);
  std::atomic<bool> stop{false};
  int exitCode = -1;
  std::thread reader([&] {
    ReadLines(child.fromChild, stop, [&](std::vector<std::string>& lines) {
      for (const std::string& line : lines) {
        if (line.rfind("qb-exit ", 0) == 0) exitCode = std::atoi(line.c_str() + 8);
      }
    });
  });
  WaitOrKill(child.pid, kRunMs);
  stop = true;
  reader.join();
  close(child.fromChild);
  fs::remove(batch);
  return exitCode;
}


// The values of a registry key, by name ("" for the default value); empty when the key
// is not there.
std::map<std::string, std::string> RegistryValues(const std::string& key) {
  const std::string output = fs::temp_directory_path() / ("qb-reg-" + std::to_string(getpid()));
  std::map<std::string, std::string> values;
  if (RunWindows("reg query " + Quoted(key) + " > " + WindowsPath(output)) == 0) {
    std::ifstream in(output);
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      // "    name    REG_SZ    data"
      const size_t type = line.find("    REG_");
      if (line.rfind("    ", 0) != 0 || type == std::string::npos) continue;
      const size_t data = line.find("    ", type + 4);
      std::string name = line.substr(4, type - 4);
      if (name == "(Default)") name = "";
      values[name] = data == std::string::npos ? "" : line.substr(data + 4);
    }
  }
  fs::remove(output);
  return values;
}

// Sets a value ("" for the default one) of a key that the player's installer writes;
// an empty text removes the key.
void SetPlayerValue(const std::string& key, const std::string& name, const std::string& text) {
  if (text.empty()) {
    RunWindows("reg delete " + Quoted(key) + " /f");
    return;
  }
  const std::string value = name.empty() ? " /ve" : " /v " + Quoted(name);
  // reg takes \" for a quote inside the data.
  std::string data;
  for (char c : text) data += c == '"' ? std::string("\\\"") : std::string(1, c);
  ASSERT_EQ(RunWindows("reg add " + Quoted(key) + value + " /d " + Quoted(data) + " /f"), 0);
}

fs::path StartMenuFolder() {
  const char* prefix = std::getenv("WINEPREFIX");
  const fs::path root = prefix ? fs::path(prefix) : fs::path(std::getenv("HOME")) / ".wine";
  return root / "drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quillbox";
}

// Sends the emulated player a command until its answer begins with `prefix` (a window
// not up yet answers "err"); the answer, or "" after the wait.
std::string UntilAnswer(PlayerProcess& player, const std::vector<std::string>& command, const std::string& prefix) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (std::chrono::steady_clock::now() < deadline) {
    const std::string answer = player.Command(command, 3000);
    if (answer.rfind(prefix, 0) == 0) return answer;
    usleep(100 * 1000);
  }
  return "";
}

// One player folder with its settings (PluginSession::Install) and the player's program
// under its real name, and the installer that release.sh made for this suite.
class InstallerE2E : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dist_ = fs::temp_directory_path() / ("qb-installer-dist-" + std::to_string(getpid()));
    const std::string command = "QB_CROSS_DIR='" QB_CROSS_DIR "' QB_AVR_DIR='" QB_AVR_DIR "' QB_DIST_DIR='" +
                                dist_.string() + "' '" QB_SOURCE_DIR "/scripts/release.sh' >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }
  static void TearDownTestSuite() { fs::remove_all(dist_); }

  void SetUp() override {
    s.Install();
    fs::copy_file(s.player.Folder() + "/emu_player.exe", s.player.Folder() + "/winamp.exe");
  }
  // Whatever a test left registered goes, so that the next one starts from none.
  void TearDown() override {
    if (!RegistryValues(kUninstallKey).empty()) RunWindows("reg delete " + Quoted(kUninstallKey) + " /f");
    fs::remove_all(StartMenuFolder());
  }

  static std::string Installer() { return Quoted(WindowsPath(dist_ / ("quillbox-" + Version() + "-setup.exe"))); }
  static std::string SilentInstaller() { return Installer() + " /S"; }
  std::string Folder() const { return s.player.WindowsPath(s.player.Folder()); }
  std::string Plugins() const { return s.player.Folder() + "/Plugins/"; }
  Tree Installed() const { return ReadTree(Plugins() + "Quillbox"); }
  std::string Uninstaller() const { return Folder() + "\\Plugins\\Quillbox\\Uninstall Quillbox.exe"; }

  // Runs the uninstaller as the system's list of programs does, quietly, and waits
  // (bounded) until it has gone: it runs from a copy of itself that it starts and does
  // not wait for, so that it can remove its own file.
  bool Uninstall() {
    const std::map<std::string, std::string> key = RegistryValues(kUninstallKey);
    if (key.count("QuietUninstallString") == 0 || RunWindows(key.at("QuietUninstallString")) != 0) return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
      if (!fs::exists(Plugins() + "Quillbox/Uninstall Quillbox.exe") && RegistryValues(kUninstallKey).empty()) {
        return true;
      }
      usleep(200 * 1000);
    }
    return false;
  }

  PluginSession s;
  static inline fs::path dist_;
};

TEST_F(InstallerE2E, SilentInstallIsWhatThePlayerLoadsAndIsNotReplacedWhileItHoldsIt) {
  fs::remove(Plugins() + "ml_quillbox.dll");
  ASSERT_EQ(RunWindows(SilentInstaller() + " /D=" + Folder()), 0);

  EXPECT_EQ(Slurp(Plugins() + "ml_quillbox.dll"), Slurp(QB_CROSS_DIR "/player/Plugins/ml_quillbox.dll"));
  Tree installed = Installed();
  EXPECT_EQ(installed.erase("Uninstall Quillbox.exe"), 1u);
  EXPECT_EQ(installed, QuillboxFolder());
  for (const char* shortcut : {"Quillbox notes.lnk", "Quillbox panel notes.lnk", "Quillbox folder.lnk"}) {
    EXPECT_TRUE(fs::exists(StartMenuFolder() / shortcut)) << shortcut;
  }
  std::map<std::string, std::string> key = RegistryValues(kUninstallKey);
  EXPECT_EQ(key["DisplayName"], "Quillbox " + Version() + " (Winamp plug-in)");
  EXPECT_EQ(key["DisplayVersion"], Version());
  EXPECT_EQ(key["Publisher"], "Quillbox developers");
  EXPECT_EQ(key["InstallLocation"], Folder());
  EXPECT_EQ(key["UninstallString"], Quoted(Uninstaller()));
  EXPECT_EQ(key["QuietUninstallString"], Quoted(Uninstaller()) + " /S");
  // In KB: the files' size, the DLL's 300 KB the most of it.
  EXPECT_GT(std::strtol(key["EstimatedSize"].c_str(), nullptr, 16), 300) << key["EstimatedSize"];

  s.Launch();
  ASSERT_EQ(s.Init(), "init\t0");
  EXPECT_TRUE(s.NextStatus([](const Status&) { return true; }, 5000)) << "the panel gets status frames";

  // The running player holds the DLL: neither installing again nor uninstalling changes
  // anything, not even the files beside it, and the exit code says why.
  fs::remove(Plugins() + "Quillbox/INSTALL.txt");
  const Tree before = ReadTree(s.player.Folder());
  EXPECT_EQ(RunWindows(SilentInstaller() + " /D=" + Folder()), 3);
  // With _?= the uninstaller runs from where it is and waits, for its exit code.
  EXPECT_EQ(RunWindows(Quoted(Uninstaller()) + " /S _?=" + Folder() + "\\Plugins\\Quillbox"), 3);
  // As a user meets it: Install pressed, Setup says why, and Cancel leaves it all as it was.
  // The emulated player presses the buttons; the page's subtitle, a blank, ends the
  // window's title, and the message box has the bare one.
  const std::string title = "Quillbox " + Version() + " Setup";
  int shownExit = -1;
  std::thread user([&] { shownExit = RunWindows(Installer() + " /D=" + Folder()); });
  EXPECT_EQ(UntilAnswer(s.player, {"click", title + " ", "1"}, "ok"), "ok\tclick");
  const std::string box = UntilAnswer(s.player, {"msgbox", title, "2"}, "msgbox\t");
  EXPECT_NE(box.find("Winamp is running and holds ml_quillbox.dll"), std::string::npos) << box;
  EXPECT_EQ(UntilAnswer(s.player, {"click", title + " ", "2"}, "ok"), "ok\tclick");
  user.join();
  EXPECT_EQ(shownExit, 3);
  EXPECT_EQ(ReadTree(s.player.Folder()), before);
  EXPECT_FALSE(RegistryValues(kUninstallKey).empty());
  EXPECT_TRUE(s.NextStatus([](const Status&) { return true; }, 5000)) << "the plug-in runs on";
  EXPECT_EQ(s.player.Stop(), 0);
}

TEST_F(InstallerE2E, UpgradeFoundThroughThePlayersKeyKeepsTheSettingsAndUninstallKeepsTheUsersFiles) {
  // An older Quillbox with its settings and the user's playlists and dumped songs; a file
  // the user put into Quillbox's folder and another plug-in's DLL.
  s.player.WriteFile("Plugins/ml_quillbox.dll", "an older Quillbox");
  fs::create_directories(Plugins() + "Quillbox/quillbox_panel");
  s.player.WriteFile("Plugins/Quillbox/quillbox-panel-0.9.0.hex", ":00000001FF\r\n");
  s.player.WriteFile("Plugins/Quillbox/quillbox_panel/my_shield.txt", "keys 0/98/254/407/637");
  s.player.WriteFile("Plugins/gen_other.dll", "another plug-in");
  s.player.WriteFile("Music/QB_Playlists/party.m3u", "one.mp3\r\n");
  s.player.WriteFile("Music/QB_Dumped/three.mp3", "x");
  const std::string settings = Slurp(s.PluginIni());
  Tree users = ReadTree(s.player.Folder());
  users.erase("Plugins/ml_quillbox.dll");
  users.erase("Plugins/Quillbox/quillbox-panel-0.9.0.hex");

  SetPlayerValue(kPlayerKey, "", Folder());
  const int installed = RunWindows(SilentInstaller());  // no /D: the folder the player's key names
  SetPlayerValue(kPlayerKey, "", "");
  ASSERT_EQ(installed, 0);
  EXPECT_EQ(Slurp(Plugins() + "ml_quillbox.dll"), Slurp(QB_CROSS_DIR "/player/Plugins/ml_quillbox.dll"));
  EXPECT_EQ(Slurp(s.PluginIni()), settings) << "the settings stay as they were";
  EXPECT_FALSE(fs::exists(Plugins() + "Quillbox/quillbox-panel-0.9.0.hex")) << "the older firmware goes";

  ASSERT_TRUE(Uninstall());
  EXPECT_EQ(ReadTree(s.player.Folder()), users) << "exactly what was installed is gone";
  EXPECT_FALSE(fs::exists(StartMenuFolder()));
}

TEST_F(InstallerE2E, WithoutThePlayersOwnKeyItsUninstallEntryNamesTheFolder) {
  fs::remove(Plugins() + "ml_quillbox.dll");
  struct Case {
    std::string playerKey;         // HKCU\Software\Winamp's default value
    std::string uninstallString;   // the player's uninstall entry
  } cases[] = {
      {"", Quoted(Folder() + "\\UninstWA.exe")},
      // a key left behind by a player since moved: the folder holds no player
      {"Z:\\nowhere", Folder() + "\\UninstWA.exe"},
  };
  for (const Case& c : cases) {
    SetPlayerValue(kPlayerKey, "", c.playerKey);
    SetPlayerValue(kPlayerUninstallKey, "UninstallString", c.uninstallString);
    EXPECT_EQ(RunWindows(SilentInstaller()), 0) << c.uninstallString;
    EXPECT_TRUE(fs::exists(Plugins() + "ml_quillbox.dll")) << c.uninstallString;
    fs::remove(Plugins() + "ml_quillbox.dll");
  }
  SetPlayerValue(kPlayerKey, "", "");
  SetPlayerValue(kPlayerUninstallKey, "", "");
}

TEST_F(InstallerE2E, AFolderWithoutThePlayerIsRefusedAndNothingWritten) {
  fs::remove(s.player.Folder() + "/winamp.exe");
  const Tree before = ReadTree(s.player.Folder());
  EXPECT_EQ(RunWindows(SilentInstaller() + " /D=" + Folder()), 2);
  EXPECT_EQ(ReadTree(s.player.Folder()), before);
  EXPECT_TRUE(RegistryValues(kUninstallKey).empty());
  EXPECT_FALSE(fs::exists(StartMenuFolder()));
}

}  // namespace

// The panel emulator end to end: on a pseudo-terminal of its own that the player's COM1
// points at, it drives the real DLL in the emulated player, once by script and once as
// the full-screen panel inside tmux.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "plugin_session.h"

namespace {

namespace fs = std::filesystem;

std::string Link() { return std::string(std::getenv("QB_PORT_DIR")) + "/com1"; }

std::string LinkTarget() {
  std::error_code e;
  return fs::read_symlink(Link(), e).string();
}

// Waits (bounded) until the emulator has put its own pty behind COM1.
bool WaitForLinkChange(const std::string& before) {
  for (double until = NowMs() + 5000; NowMs() < until; usleep(20 * 1000)) {
    if (const std::string now = LinkTarget(); !now.empty() && now != before) return true;
  }
  return false;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

// The emulator as a child process, its output into a file; ended by its id.
struct Emulator {
  pid_t pid = -1;
  std::string output;

  void Start(const std::vector<std::string>& args, const std::string& outputFile) {
    output = outputFile;
    pid = fork();
    if (pid == 0) {
      std::freopen(outputFile.c_str(), "w", stdout);
      std::freopen("/dev/null", "r", stdin);
      std::vector<char*> argv = {const_cast<char*>(QB_PANEL_BIN)};
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(QB_PANEL_BIN, argv.data());
      _exit(127);
    }
  }
  // Its exit status, or -1 when it had to be killed.
  int Wait(int timeoutMs) {
    int status = 0;
    for (double until = NowMs() + timeoutMs; waitpid(pid, &status, WNOHANG) == 0; usleep(20 * 1000)) {
      if (NowMs() > until) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return -1;
      }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
};

void InstallRock(PluginSession& s) {
  s.Install();
  fs::create_directories(s.Music() + "Rock/Live");
  for (const char* name : {"Rock/a.mp3", "Rock/b.mp3"}) s.player.WriteFile(std::string("Music/") + name, "x");
  s.Launch({{"tag", s.WindowsMusic() + "Rock\\a.mp3", "TITLE", "Song A"}});
}

TEST(PanelE2E, AScriptBrowsesPlaysAndReadsThePlaylist) {
  PluginSession s;
  InstallRock(s);
  const std::string script = s.player.Folder() + "/tour.txt";
  std::ofstream(script) << "browse root\n"
                           "enter Rock\n"
                           "play Song A\n"
                           "wait 0.5\n"
                           "playlist\n"
                           "time\n"
                           "browse up\n";
  const std::string before = LinkTarget();
  Emulator panel;
  panel.Start({"--pty", Link(), "--script", script, "--timeout", "30"}, s.player.Folder() + "/out.txt");
  ASSERT_TRUE(WaitForLinkChange(before));
  ASSERT_EQ(s.Init(), "init\t0");
  const int status = panel.Wait(60000);
  const std::string out = ReadAll(panel.output);
  EXPECT_EQ(status, 0) << out;
  const char* expected[] = {
      "list folder 5\n  0 \\QB_Dumped\n  1 \\QB_Playlists\n  2 \\Rock\n  3 one.mp3\n  4 two.wav\n",
      "> enter Rock\n",
      "list folder 3\n  0 \\Live\n  1 Song A\n  2 b.mp3\n",  // folders first, titles from the player
      "status playing ",
      "\"Song A\" folder \"\\Rock\\\"",
      "list playlist 1\n  0 Song A\n",
      " folder \"\\Music\\\"",
      "end frames ",
  };
  for (const char* e : expected) EXPECT_NE(out.find(e), std::string::npos) << e << "\n---\n" << out;
  EXPECT_NE(out.find(" bad 0\n"), std::string::npos);
  EXPECT_EQ(out.find("no reply"), std::string::npos) << out;
  EXPECT_EQ(s.player.Stop(), 0);
}

// tmux on a socket of the test's own, so that no other tmux server is touched.
std::string Tmux(const std::string& socket, const std::string& args) {
  const std::string command = "tmux -L " + socket + " " + args + " 2>/dev/null";
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) out.append(buffer, n);
    pclose(p);
  }
  return out;
}

bool WaitForScreen(const std::string& socket, const std::string& text, std::string* screen) {
  for (double until = NowMs() + 20000; NowMs() < until; usleep(100 * 1000)) {
    *screen = Tmux(socket, "capture-pane -p -t panel");
    if (screen->find(text) != std::string::npos) return true;
  }
  return false;
}

TEST(PanelE2E, TheScreenShowsTheStatusAndAnswersKeys) {
  if (system("tmux -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "tmux is not installed";
  PluginSession s;
  InstallRock(s);
  const std::string socket = "qb-panel-" + std::to_string(getpid());
  const std::string before = LinkTarget();
  Tmux(socket, "new-session -d -s panel -x 100 -y 30 '" + std::string(QB_PANEL_BIN) + " --pty " + Link() + "'");
  ASSERT_TRUE(WaitForLinkChange(before));
  ASSERT_EQ(s.Init(), "init\t0");
  std::string screen;
  EXPECT_TRUE(WaitForScreen(socket, "stopped", &screen)) << screen;  // the status line
  EXPECT_TRUE(WaitForScreen(socket, "folder list, 5 entries", &screen)) << screen;
  EXPECT_NE(screen.find("\\Rock"), std::string::npos) << screen;
  Tmux(socket, "send-keys -t panel '?'");
  EXPECT_TRUE(WaitForScreen(socket, "dump song", &screen)) << screen;  // the help box
  Tmux(socket, "send-keys -t panel x Down Down Enter");                // any key closes; open \Rock
  EXPECT_TRUE(WaitForScreen(socket, "folder \\Rock\\", &screen)) << screen;
  EXPECT_TRUE(WaitForScreen(socket, "Song A", &screen)) << screen;
  Tmux(socket, "send-keys -t panel q");
  bool quit = false;
  for (double until = NowMs() + 5000; !quit && NowMs() < until; usleep(50 * 1000)) {
    quit = system(("tmux -L " + socket + " has-session -t panel 2>/dev/null").c_str()) != 0;
  }
  EXPECT_TRUE(quit) << "q ends the panel";
  Tmux(socket, "kill-server");
  EXPECT_EQ(s.player.Stop(), 0);
}

}  // namespace

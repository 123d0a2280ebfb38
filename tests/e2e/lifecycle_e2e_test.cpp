// Start-up and shut-down of the real DLL inside the emulated player: the order of the
// steps, every failure the user is told about, and quit at any moment.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "plugin_session.h"

namespace fs = std::filesystem;

namespace {

bool IsCode(const HostCall& c, long long code) { return c.window == "main" && c.message == 1024 && c.lParam == code; }

size_t IndexOf(const std::vector<HostCall>& calls, const std::function<bool(const HostCall&)>& pred) {
  for (size_t i = 0; i < calls.size(); i++) {
    if (pred(calls[i])) return i;
  }
  return calls.size();
}

// No byte on the line and no message to the player for a while: nothing is ticking.
void ExpectNoTicks(PluginSession& s, const char* when) {
  const size_t bytes = s.line.RawByteCount();
  const size_t calls = s.player.HostCallCount();
  usleep(200 * 1000);  // several tick periods
  EXPECT_EQ(s.line.RawByteCount(), bytes) << "a frame went out " << when;
  EXPECT_EQ(s.player.HostCallCount(), calls) << "a tick ran " << when;
}

TEST(StartupE2E, StepsRunInOrderAndTheTicksFollow) {
  PluginSession s;
  s.Install();
  fs::remove_all(s.Music() + "QB_Dumped");  // made by start-up, not by the test
  s.Launch({{"tag", s.WindowsMusic() + "one.mp3", "TITLE", "First"}});
  // Missing working folders leave the dialog unlocked: the user names the music folder.
  ASSERT_EQ(s.Init([&] {
    ASSERT_TRUE(s.WaitForDialog());
    s.Set({"settext", "Quillbox Plugin", std::to_string(kMusicEdit), s.WindowsMusic()});
    EXPECT_TRUE(s.Click(kStartButton));
  }), "init\t0");
  EXPECT_TRUE(s.boxes.empty());
  ASSERT_TRUE(s.line.WaitForCount(3, 3000));

  const std::vector<HostCall> calls = s.player.HostCalls();
  const size_t ini = IndexOf(calls, [](const HostCall& c) { return IsCode(c, 334); });
  const size_t playlistWindow = IndexOf(calls, [](const HostCall& c) { return IsCode(c, 260); });
  const size_t title = IndexOf(calls, [](const HostCall& c) { return IsCode(c, 296); });
  const size_t volume = IndexOf(calls, [](const HostCall& c) { return IsCode(c, 122); });
  const size_t tick = IndexOf(calls, [](const HostCall& c) { return IsCode(c, 124); });
  EXPECT_LT(ini, playlistWindow);
  EXPECT_LT(playlistWindow, title);  // the first scan asks for the titles of playable files
  EXPECT_LT(title, volume);
  EXPECT_LT(volume, tick);
  ASSERT_LT(tick, calls.size());
  EXPECT_EQ(calls[volume].wParam, 125);
  EXPECT_EQ(calls[title].Detail("path"), s.WindowsMusic() + "one.mp3");
  EXPECT_TRUE(fs::is_directory(s.Music() + "QB_Dumped"));
  EXPECT_TRUE(fs::is_directory(s.Music() + "QB_Playlists"));  // already there: fine

  Status status;
  ASSERT_TRUE(s.NextStatus([](const Status&) { return true; }, 3000, &status));
  EXPECT_EQ(status.folder, "\\Music\\");
  EXPECT_EQ(s.player.Command({"quit"}), "quit\tdone");
  EXPECT_EQ(s.player.Stop(), 0);
}

TEST(StartupE2E, QuitInTheDialogStartsNothing) {
  PluginSession s;
  s.Install();
  fs::remove_all(s.Music() + "QB_Dumped");
  s.Launch();
  ASSERT_EQ(s.Init([&] { EXPECT_TRUE(s.Click(kQuitButton)); }), "init\t0");
  EXPECT_TRUE(s.boxes.empty());
  ExpectNoTicks(s, "after the dialog's Quit");
  EXPECT_EQ(IndexOf(s.player.HostCalls(), [](const HostCall& c) { return IsCode(c, 260) || IsCode(c, 122); }),
            s.player.HostCalls().size());
  EXPECT_FALSE(fs::exists(s.Music() + "QB_Dumped"));
  EXPECT_EQ(s.player.Command({"quit"}), "quit\tdone");  // closes no port, frees what init made
  EXPECT_EQ(s.player.Stop(), 0);
}

// The working folders are derived from the music folder, whose existence the dialog
// checks: only a field changed behind the dialog's back can name a missing parent.
void StartWithMissingParent(PluginSession& s, int folderEdit) {
  EXPECT_TRUE(s.Click(kConfigureButton));
  s.Set({"settext", "Quillbox Plugin", std::to_string(folderEdit), s.WindowsMusic() + "no\\such\\"});
  EXPECT_TRUE(s.Click(kStartButton));
}

// Failures of the extension list come before the dialog.
const auto kNoDialog = [](PluginSession&) {};

// Each failure the user can meet at start-up: one box with its message, init -1.
TEST(StartupE2E, EveryFailureIsReportedOnceAndInitGivesUp) {
  struct Case {
    const char* what;
    std::function<void(PluginSession&)> arrange;  // before launch
    Model model;                                  // model commands at launch
    std::function<void(PluginSession&)> dialog;   // what the user does in the dialog
    const char* message;
  } cases[] = {
      {"the player names no winamp.ini", [](PluginSession& s) { fs::remove(s.WinampIni()); }, {}, kNoDialog,
       "Quillbox could not locate winamp.ini.  Click OK to terminate Quillbox plugin."},
      {"winamp.ini cannot be opened", nullptr, {{"ini", "Z:\\nowhere\\winamp.ini"}}, kNoDialog,
       "Quillbox could not open winamp.ini.  Click OK to terminate Quillbox plugin."},
      {"no config_extlist (the key is case-sensitive)",
       [](PluginSession& s) { s.player.WriteFile("winamp.ini", "[Winamp]\r\nCONFIG_EXTLIST=MP3\r\n"); }, {}, kNoDialog,
       "Could not load file extension types from winamp.ini.  Click OK to terminate Quillbox plugin."},
      {"blanks around the =",
       [](PluginSession& s) { s.player.WriteFile("winamp.ini", "[Winamp]\r\nconfig_extlist = MP3\r\n"); }, {},
       kNoDialog, "Could not parse extensions string in winamp.ini.  Click OK to terminate Quillbox plugin."},
      {"the dump folder's parent is missing", nullptr, {},
       [](PluginSession& s) { StartWithMissingParent(s, kDumpEdit); },
       "Could not create dump directory. Click OK to terminate Quillbox plugin."},
      {"the playlist folder's parent is missing", nullptr, {},
       [](PluginSession& s) { StartWithMissingParent(s, kPlaylistEdit); },
       "Could not create dir for playlist storage. Click OK to terminate Quillbox plugin."},
      {"the port went away after the dialog tested it", nullptr, {},
       [](PluginSession& s) {
         // The dialog tests the port while it opens, then counts down without testing it again.
         ASSERT_TRUE(s.WaitForDialog());
         unlink((std::string(std::getenv("QB_PORT_DIR")) + "/com1").c_str());
       },
       "Could not open the selected serial port.  Ensure that the selected port is available in your system."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PluginSession s;
    s.Install();
    if (c.arrange) c.arrange(s);
    s.Launch(c.model);
    const std::string init = s.Init([&] { c.dialog(s); });
    EXPECT_EQ(init, "init\t-1");
    ASSERT_EQ(s.boxes.size(), 1u);
    EXPECT_EQ(s.boxes[0], c.message);
    ExpectNoTicks(s, "after a failed start-up");
    EXPECT_EQ(s.player.Command({"quit"}), "quit\tdone");
    EXPECT_EQ(s.player.Stop(), 0);
  }
}

TEST(LifecycleE2E, AHundredStartsAndQuitsWithTicksInFlight) {
  PluginSession s;
  ASSERT_EQ(s.Start({{"playlist", "fill", "20", "C:\\Music\\s%d.mp3"}}), "init\t0");
  // The ticks run from the start; the line is quiet for the first 2 s after each open.
  for (int cycle = 0; cycle < 100; cycle++) {
    ASSERT_TRUE(s.WaitForTicks(2)) << "cycle " << cycle;
    ASSERT_EQ(s.player.Command({"quit"}), "quit\tdone") << "cycle " << cycle;
    if (cycle % 10 == 0) ExpectNoTicks(s, "after quit");
    ASSERT_EQ(s.Init(), "init\t0") << "cycle " << cycle;
  }
  const size_t frames = s.line.FrameCount();
  EXPECT_TRUE(s.line.WaitForCount(frames + 1, 5000)) << "the line after the last start";
  EXPECT_TRUE(s.boxes.empty());
  EXPECT_EQ(s.player.Stop(), 0);
}

TEST(LifecycleE2E, QuitDoesNotWaitForeverOnATickInsideAHostMessage) {
  PluginSession s;
  ASSERT_EQ(s.Start({{"playlist", "fill", "5", "C:\\Music\\s%d.mp3"}}), "init\t0");
  // Every answer now takes 30 ms, so a tick is nearly always waiting inside one when
  // quit starts on the very thread that must answer it.
  s.Set({"slow", "30"});
  for (int round = 0; round < 5; round++) {
    const size_t from = s.player.HostCallCount();
    ASSERT_TRUE(s.player.WaitForHostCall(from, [](const HostCall& c) { return IsCode(c, 124); }, 3000));
    const double start = NowMs();
    ASSERT_EQ(s.player.Command({"quit"}, 10000), "quit\tdone");
    EXPECT_LT(NowMs() - start, 2000) << "quit should answer the tick's messages, not time out";
    ExpectNoTicks(s, "after quit");
    s.Set({"slow", "0"});
    ASSERT_EQ(s.Init(), "init\t0");
    s.Set({"slow", "30"});
  }
  s.Set({"slow", "0"});
  EXPECT_EQ(s.player.Stop(), 0);
}

// A slow player (30 ms an answer) with 900 entries: the trim alone would take 12 s.
// Returns once the tick is deleting entries, that is, in the middle of the trim.
void StartALongTrim(PluginSession& s) {
  s.Set({"slow", "30"});
  const size_t from = s.player.HostCallCount();
  s.Set({"playlist", "fill", "900", "C:\\Music\\many%03d.mp3"});
  ASSERT_TRUE(s.player.WaitForHostCall(
      from, [](const HostCall& c) { return c.window == "playlist" && c.wParam == 104; }, 5000));
}

// Milliseconds per status frame over the next 40 frames, from the panel's clock.
double MsPerFrame(PluginSession& s) {
  constexpr size_t kFrames = 40;
  const size_t from = s.line.FrameCount();
  if (!s.line.WaitForCount(from + kFrames + 1, 10000)) return 0;
  const std::vector<Frame> frames = s.line.Frames();
  return (frames[from + kFrames].atMs - frames[from].atMs) / kFrames;
}

TEST(LifecycleE2E, QuitDuringALongTrimLeavesNothingRunningAndTheDllUnloads) {
  PluginSession s;
  ASSERT_EQ(s.Start({{"playlist", "fill", "5", "C:\\Music\\s%d.mp3"}}), "init\t0");
  StartALongTrim(s);
  size_t callsAtQuit = 0;
  const double start = NowMs();
  ASSERT_EQ(s.player.Command({"quit"}, 20000, &callsAtQuit), "quit\tdone");
  std::printf("quit during the trim took %.0f ms\n", NowMs() - start);  // a figure, not a check
  // Unloading pulls the code out from under anything of ours still running; the player
  // then goes on answering messages, as a real one does until it exits.
  EXPECT_EQ(s.player.Command({"unload"}), "unloaded");
  EXPECT_EQ(s.player.Command({"sync"}, 3000), "ok\tsync");
  EXPECT_EQ(s.player.Stop(), 0);
  EXPECT_EQ(s.player.HostCallCount(), callsAtQuit) << "a tick went on after quit had answered";
}

TEST(LifecycleE2E, InitAfterQuitDuringALongTrimRunsOneChainOfTicks) {
  PluginSession s;
  ASSERT_EQ(s.Start({{"playlist", "fill", "5", "C:\\Music\\s%d.mp3"}}), "init\t0");
  const double oneChain = MsPerFrame(s);
  ASSERT_GT(oneChain, 0);
  StartALongTrim(s);
  ASSERT_EQ(s.player.Command({"quit"}, 20000), "quit\tdone");
  ASSERT_EQ(s.Init(), "init\t0");  // while a tick left over from before quit would still trim
  s.Set({"slow", "0"});
  ASSERT_TRUE(s.NextStatus([](const Status& st) { return st.length == 500; }, 20000));
  // A second chain beside the first halves the time between frames.
  EXPECT_GT(MsPerFrame(s), 0.75 * oneChain) << "one chain: " << oneChain << " ms a frame";
  EXPECT_EQ(s.player.Command({"quit"}), "quit\tdone");
  ExpectNoTicks(s, "after the second quit");
  EXPECT_TRUE(s.boxes.empty());
  EXPECT_EQ(s.player.Stop(), 0);
}

}  // namespace

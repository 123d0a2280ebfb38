// What a user's machine does to the plug-in, with the real DLL in the emulated player: a
// slow player, a browsed folder that goes away, songs that cannot be moved, a playlist
// folder that has gone, and a music folder whose name is not plain ASCII. Quitting while
// ticks run is in lifecycle_e2e_test.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "plugin_session.h"

namespace fs = std::filesystem;

namespace {

constexpr int kWaitMs = 10000;
constexpr uint8_t kProbeTag = 0x7E;

bool IsListReply(const Bytes& p) { return p.size() == 6 && p[0] == 'L' && p[2] == 5; }
bool IsDumpAck(const Bytes& p) { return p.size() == 6 && p[0] == 'F' && p[2] == 2; }
bool IsEditAck(const Bytes& p) { return p.size() == 10 && p[0] == 'E' && p[2] == 6; }
bool IsChunk(const Bytes& p) { return p.size() == 244 && p[0] == 'D'; }
bool IsRestarted(const Bytes& p) { return p.size() == 6 && p[0] == 'L' && p[2] == 1; }

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Wine lets root replace a file without write permission, which Windows refuses for a
// read-only file: the immutable flag makes Wine refuse it too. Set and cleared by one
// owner, so that a failing test cannot leave a file behind that nobody can delete.
class Unchangeable {
 public:
  // A folder keeps its x bits: it can still be entered, and its files written.
  explicit Unchangeable(std::string path) : path_(std::move(path)) {
    const fs::perms read = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    const fs::perms enter = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    fs::permissions(path_, fs::is_directory(path_) ? read | enter : read);
    set_ = Flag(true);
  }
  ~Unchangeable() {
    if (set_) Flag(false);
  }
  bool Set() const { return set_; }

 private:
  bool Flag(bool on) {
    const int fd = open(path_.c_str(), O_RDONLY);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    ok = ok && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    close(fd);
    return ok;
  }
  std::string path_;
  bool set_ = false;
};

// A small file system mounted over a folder, filled to the last byte, as a full disk is:
// Wine on a roomy disk never shows what a write that finds no room does. Mounting needs
// root; the mount goes with its owner.
class FullSmallDisk {
 public:
  FullSmallDisk(std::string folder, const std::string& file, const std::string& content) : folder_(std::move(folder)) {
    mounted_ = mount("tmpfs", folder_.c_str(), "tmpfs", 0, "size=16k") == 0;
    if (!mounted_) return;
    std::ofstream(folder_ + "/" + file, std::ios::binary) << content;
    std::ofstream filler(folder_ + "/filler", std::ios::binary);
    const std::string page(4096, 'f');
    for (int i = 0; i < 8 && filler; i++) filler.write(page.data(), static_cast<std::streamsize>(page.size())).flush();
  }
  ~FullSmallDisk() {
    if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
  }
  bool Mounted() const { return mounted_; }

 private:
  std::string folder_;
  bool mounted_ = false;
};

// The titles a chunk carries, as one text with their NULs.
std::string Titles(const Bytes& chunk) {
  return chunk.size() < 4 ? "" : std::string(chunk.begin() + 4, chunk.begin() + 4 + chunk[3]);
}

class FaultsE2E : public ::testing::Test {
 protected:
  PluginSession s;

  // A configured installation with a sub-folder "Album", which comes first in the sorted
  // list, holding one song; started through the dialog.
  void StartPlugin(const Model& model = {}) {
    s.Install();
    MakeAlbum();
    s.Launch(model);
    ASSERT_EQ(s.Init(), "init\t0");
    ASSERT_TRUE(s.boxes.empty());
  }
  void MakeAlbum() {
    fs::create_directories(s.Music() + "Album");
    s.player.WriteFile("Music/Album/song.mp3", "album song");
  }
  void TearDown() override {
    EXPECT_EQ(s.player.Command({"quit"}, 20000), "quit\tdone");
    EXPECT_EQ(s.player.Stop(), 0);
    EXPECT_EQ(s.line.BrokenFrames(), 0);
  }

  // Sends command and returns the payload of the first frame after it that isReply
  // accepts; empty when none came.
  Bytes Ask(const Bytes& command, bool (*isReply)(const Bytes&)) {
    const size_t from = s.line.FrameCount();
    s.line.Send(command);
    Frame reply;
    return s.line.WaitFor(from, [&](const Frame& f) { return isReply(f.payload); }, kWaitMs, &reply) ? reply.payload
                                                                                                     : Bytes{};
  }
  // True when command gets no reply that isReply accepts: a reply would go out on the
  // idle tick after the command's, so "L" 6 is sent once that tick has passed, and its
  // acknowledgement is the end of the wait.
  bool Unanswered(const Bytes& command, bool (*isReply)(const Bytes&)) {
    const size_t from = s.line.FrameCount();
    s.line.Send(command);
    int statuses = 0;
    const auto third = [&](const Frame& f) { return DecodeStatus(f.payload) && ++statuses == 3; };
    if (!s.line.WaitFor(from, third, kWaitMs)) return false;
    s.line.Send({'L', kProbeTag, 6, 0, 0, 0});
    bool replied = false;
    const auto probed = [&](const Frame& f) {
      replied = replied || isReply(f.payload);
      return f.payload.size() == 6 && f.payload[0] == 'L' && f.payload[1] == kProbeTag && f.payload[2] == 1;
    };
    return s.line.WaitFor(from, probed, kWaitMs) && !replied;
  }
  // Lets the dialog open, presses Configure (to stop the countdown of complete settings)
  // or types the music folder (which fills in the folders derived from it) and presses
  // Start; returns the text of the box that Start's failure shows, then quits the
  // dialog, which stays open after it.
  std::string BoxAfterStart(bool typeMusicFolder = false) {
    std::string box;
    EXPECT_EQ(s.Init([&] {
      if (typeMusicFolder) {
        EXPECT_TRUE(s.WaitForDialog());
        s.Set({"settext", "Quillbox Plugin", std::to_string(kMusicEdit), s.WindowsMusic()});
      } else {
        EXPECT_TRUE(s.Click(kConfigureButton));
      }
      EXPECT_TRUE(s.Click(kStartButton));
      for (int i = 0; i < 500 && box.empty(); i++) {
        const std::string answer = s.player.Command({"msgbox"}, 2000);
        if (answer.rfind("msgbox\t", 0) == 0) box = answer.substr(7);
        if (box.empty()) usleep(20 * 1000);
      }
      EXPECT_TRUE(s.Click(kQuitButton)) << "the dialog stays open after the failure";
    }), "init\t0");
    return box;
  }
  void SaveOnAFullDisk(bool temporaryInTheWay);
  bool InFolder(const std::string& name) {
    return s.NextStatus([&](const Status& st) { return st.folder == name; }, kWaitMs);
  }
  // "L" 6, then "L" 0: the first chunk of the chosen list.
  Bytes FirstChunk() {
    EXPECT_FALSE(Ask({'L', 0, 6, 0, 0, 0}, IsRestarted).empty());
    return Ask({'L', 0, 0, 0, 0, 0}, IsChunk);
  }
};

TEST_F(FaultsE2E, ASlowPlayerStretchesTheTicksAndBreaksNothing) {
  StartPlugin({{"playlist", "fill", "5", "C:\\Music\\s%d.mp3"}});
  s.Set({"slow", "30"});
  // Each tick sends at least eight messages while the playlist is not empty (length,
  // position, state, shuffle, time, path and title of the current entry, the change
  // check), each now answered 30 ms late.
  // The first status frame may come from a tick that began before.
  const size_t from = s.line.FrameCount();
  int statuses = 0;
  Frame second, third;
  ASSERT_TRUE(s.line.WaitFor(from, [&](const Frame& f) { return DecodeStatus(f.payload) && ++statuses == 2; },
                             kWaitMs, &second));
  ASSERT_TRUE(s.line.WaitFor(from, [&](const Frame& f) { return f.atMs > second.atMs && DecodeStatus(f.payload); },
                             kWaitMs, &third));
  const double tick = third.atMs - second.atMs;
  std::printf("a tick of the slow player: %.0f ms\n", tick);  // a figure
  EXPECT_GE(tick, 8 * 30);
  // A whole list still comes: chosen, restarted and sent.
  const Bytes chosen = Ask({'Q', 0, 3, 0, 0, 0}, IsListReply);
  ASSERT_EQ(chosen.size(), 6u);
  EXPECT_EQ(chosen[3], 0) << "the playlist";
  const std::string titles = Titles(FirstChunk());
  EXPECT_EQ(std::count(titles.begin(), titles.end(), '\0'), 5);
  // TearDown quits while every answer is still slow.
}

TEST_F(FaultsE2E, ABrowsedFolderThatGoesAwayLeavesTheWayUp) {
  StartPlugin();
  for (const bool renamed : {false, true}) {
    SCOPED_TRACE(renamed ? "renamed" : "removed");
    ASSERT_FALSE(Ask({'Q', 0, 2, 0, 0, 0}, IsListReply).empty());
    ASSERT_FALSE(Ask({'Q', 0, 1, 0, 0, 0}, IsListReply).empty()) << "into Album, entry 0";
    ASSERT_TRUE(InFolder("\\Album\\"));
    if (renamed) {
      fs::rename(s.Music() + "Album", s.Music() + "Album 2");
    } else {
      fs::remove_all(s.Music() + "Album");
    }
    // Listing it again fails; the panel still gets its answer and is not left waiting.
    EXPECT_FALSE(Ask({'Q', 0, 1, 0xFF, 0xFF, 0}, IsListReply).empty());
    const Bytes up = Ask({'Q', 0, 0, 0, 0, 0}, IsListReply);
    ASSERT_EQ(up.size(), 6u);
    EXPECT_EQ(up[3], 1) << "the folder list";
    EXPECT_TRUE(InFolder("\\Music\\"));
    const std::string titles = Titles(FirstChunk());
    EXPECT_EQ(titles.find("\\Album 2") != std::string::npos, renamed) << titles;
    if (renamed) fs::remove_all(s.Music() + "Album 2");
    MakeAlbum();
  }
}

TEST_F(FaultsE2E, SongsThatCannotBeMovedAreNotDumped) {
  StartPlugin();
  // Sorted: \Album, \QB_Dumped, \QB_Playlists, one.mp3, two.wav.
  ASSERT_FALSE(Ask({'Q', 0, 2, 0, 0, 0}, IsListReply).empty());
  const Bytes dumpTwo = {'F', 0, 0, 0, 4, 0};
  s.Set({"hold", s.WindowsMusic() + "two.wav"});  // another program has it open, sharing nothing
  EXPECT_TRUE(Unanswered(dumpTwo, IsDumpAck));
  EXPECT_EQ(ReadAll(s.Music() + "two.wav"), "x");
  // A playlist entry made from a browsed folder names the folder, not a song.
  s.Set({"playlist", "add", s.WindowsMusic() + "Album"});
  EXPECT_TRUE(Unanswered({'F', 0, 1, 0, 0, 0}, IsDumpAck));
  EXPECT_EQ(ReadAll(s.Music() + "Album/song.mp3"), "album song");
  EXPECT_TRUE(fs::is_empty(s.Music() + "QB_Dumped"));
  // Once the other program lets go, the same command dumps the song.
  s.Set({"hold"});
  EXPECT_FALSE(Ask(dumpTwo, IsDumpAck).empty());
  EXPECT_EQ(ReadAll(s.Music() + "QB_Dumped/two.wav"), "x");
}

TEST_F(FaultsE2E, APlaylistFolderThatHasGoneGetsNoPlaylist) {
  StartPlugin({{"playlist", "fill", "3", "C:\\Music\\s%d.mp3"}});
  fs::remove_all(s.Music() + "QB_Playlists");
  EXPECT_TRUE(Unanswered({'E', 0, 4, 0, 0, 0, 0, 0, 0, 0}, IsEditAck));
  EXPECT_FALSE(fs::exists(s.Music() + "QB_Playlists")) << "made again behind the user's back";
  for (const auto& entry : fs::recursive_directory_iterator(s.player.Folder())) {
    EXPECT_NE(entry.path().extension(), ".m3u") << entry.path();
  }
}

TEST_F(FaultsE2E, AReadOnlySettingsFileIsLeftAsItWas) {
  s.Install();
  const std::string before = ReadAll(s.PluginIni());
  const Unchangeable readOnly(s.PluginIni());
  if (!readOnly.Set()) GTEST_SKIP() << "the immutable flag needs root and a file system that has it";
  s.Launch();
  // Reading needs no write access: the dialog opens with the settings as they are.
  const std::string box = BoxAfterStart();
  EXPECT_TRUE(box == "Could not write settings table to plugin.ini.  Click OK to terminate Quillbox plugin." ||
              box == "Could not open plugin.ini file.  Click OK to terminate Quillbox plugin.")
      << box;
  EXPECT_EQ(ReadAll(s.PluginIni()), before);
  for (const auto& entry : fs::directory_iterator(s.player.Folder() + "/Plugins")) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "plugin.ini" || name == "ml_quillbox.dll") << "left behind: " << name;
  }
}

// The plug-in's settings as a user has them, after another plug-in's section and in
// another order, and as Start rewrites them.
std::string OldSettings(const PluginSession& s) {
  const std::string music = s.WindowsMusic();
  return "[Other]\r\nx=1\r\n[Quillbox]\r\nDumpDir=" + music + "QB_Dumped\\\r\nPlSaveDir=" + music +
         "QB_Playlists\\\r\nLibDir=" + music + "\r\nComPort=1\r\n";
}
std::string NewSettings(const PluginSession& s) { return "[Other]\r\nx=1" + s.SettingsSection("1"); }

TEST_F(FaultsE2E, ALinkedSettingsFileGetsTheSettingsAtItsTargetAndStaysALink) {
  s.Install();
  const std::string shared = s.player.Folder() + "/shared/plugin.ini";
  fs::create_directories(s.player.Folder() + "/shared");
  s.player.WriteFile("shared/plugin.ini", OldSettings(s));
  fs::remove(s.PluginIni());
  fs::create_symlink(shared, s.PluginIni());
  s.Launch();
  ASSERT_EQ(s.Init(), "init\t0");
  EXPECT_TRUE(s.boxes.empty());
  EXPECT_TRUE(fs::is_symlink(s.PluginIni()));
  EXPECT_EQ(ReadAll(shared), NewSettings(s));
  EXPECT_EQ(std::distance(fs::directory_iterator(s.player.Folder() + "/shared"), {}), 1) << "a file left beside it";
}

TEST_F(FaultsE2E, ASettingsFileInAFolderThatTakesNoNewFileIsRewrittenInPlace) {
  s.Install();
  s.player.WriteFile("Plugins/plugin.ini", OldSettings(s));
  const Unchangeable closed(s.player.Folder() + "/Plugins");
  if (!closed.Set()) GTEST_SKIP() << "the immutable flag needs root and a file system that has it";
  s.Launch();
  ASSERT_EQ(s.Init(), "init\t0");
  EXPECT_TRUE(s.boxes.empty());
  EXPECT_EQ(ReadAll(s.PluginIni()), NewSettings(s));
}

// On a full disk with plugin.ini.qbnew blocked, the file used to be rewritten in place
// and cut at 4,096 bytes, the last plug-in's section gone, while only message 16 showed.
// Now a temporary file in the way is refused, and a file that cannot grow to its new
// size (its folder taking no new file) is left as it was.
void FaultsE2E::SaveOnAFullDisk(bool temporaryInTheWay) {
  s.Install();
  s.Launch();  // the DLL is loaded from Plugins before the small disk covers the folder
  // 4,090 bytes; typing the music folder fills in the derived folders, which takes a
  // second page.
  std::string old =
      "[Quillbox]\r\nComPort=1\r\nLibDir=" + s.WindowsMusic() + "\r\nPlSaveDir=\r\nDumpDir=\r\n[Last]\r\nz=";
  old += std::string(4090 - old.size() - 2, 'z') + "\r\n";
  const FullSmallDisk disk(s.player.Folder() + "/Plugins", "plugin.ini", old);
  if (!disk.Mounted()) GTEST_SKIP() << "mounting a small file system needs root";
  if (temporaryInTheWay) s.player.WriteFile("Plugins/plugin.ini.qbnew", "");
  const Unchangeable blocked(temporaryInTheWay ? s.PluginIni() + ".qbnew" : s.player.Folder() + "/Plugins");
  ASSERT_TRUE(blocked.Set());
  EXPECT_EQ(BoxAfterStart(true),
            "Could not write settings table to plugin.ini.  Click OK to terminate Quillbox plugin.");
  EXPECT_EQ(ReadAll(s.PluginIni()), old);
}

TEST_F(FaultsE2E, AFullDiskWithTheTemporaryFileInTheWayLeavesTheSettingsFileWhole) { SaveOnAFullDisk(true); }

TEST_F(FaultsE2E, AFullDiskInAFolderThatTakesNoNewFileLeavesTheSettingsFileWhole) { SaveOnAFullDisk(false); }

// "Musik Ä" and "Lied é.mp3": code page 1252 (C4, E9) in plugin.ini and on the wire, and
// UTF-8 in the Linux names under Wine.
TEST_F(FaultsE2E, AMusicFolderNamedInCodePage1252IsBrowsedAndPlayed) {
  setenv("LC_ALL", "C.UTF-8", 1);  // Wine maps names to Linux by the locale
  const std::string linuxMusic = s.player.Folder() + "/Musik \xC3\x84/";
  const std::string music = s.player.WindowsPath(s.player.Folder()) + "\\Musik \xC4\\";
  const std::string song = music + "Lied \xE9.mp3";
  s.Install();
  fs::create_directories(linuxMusic + "QB_Playlists");
  fs::create_directories(linuxMusic + "QB_Dumped");
  std::ofstream(linuxMusic + "Lied \xC3\xA9.mp3") << "lied";
  const std::string settings = "\r\n[Quillbox]\r\nComPort=1\r\nLibDir=" + music + "\r\nPlSaveDir=" + music +
                               "QB_Playlists\\\r\nDumpDir=" + music + "QB_Dumped\\\r\n";
  s.player.WriteFile("Plugins/plugin.ini", settings);
  s.Launch({{"tag", song, "TITLE", "Lied \xE9"}});
  ASSERT_EQ(s.Init(), "init\t0");
  EXPECT_TRUE(s.boxes.empty());
  EXPECT_NE(ReadAll(s.PluginIni()).find("LibDir=" + music + "\r\n"), std::string::npos)
      << "Start stores the name's bytes as they were";
  EXPECT_TRUE(InFolder("\\Musik \xC4\\"));

  // Sorted: \QB_Dumped, \QB_Playlists, the song.
  ASSERT_FALSE(Ask({'Q', 0, 2, 0, 0, 0}, IsListReply).empty());
  EXPECT_NE(Titles(FirstChunk()).find(std::string("Lied \xE9\0", 6)), std::string::npos);
  s.line.Send({'P', 0, 3, 0, 2, 0});
  // The player found the song's title by its path: it got the path byte for byte.
  EXPECT_TRUE(s.NextStatus(
      [](const Status& st) { return st.length == 1 && st.playState == 0 && st.title == "Lied \xE9"; }, kWaitMs));
}

}  // namespace

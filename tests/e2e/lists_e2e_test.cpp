// The panel's lists end to end: the real DLL in the emulated player, a real music
// folder under Wine, and the test as the panel choosing lists, taking them in chunks and
// playing what it was shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "plugin_session.h"

namespace fs = std::filesystem;

namespace {

constexpr int kWaitMs = 5000;
using Strings = std::vector<std::string>;

const Strings kRoot = {"\\Many", "\\QB_Dumped", "\\QB_Playlists", "\\Rock", "one.mp3", "two.wav"};

class ListsE2E : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    session = new PluginSession;
    session->Install();
    fs::create_directories(session->Music() + "Rock/Live");
    fs::create_directories(session->Music() + "Many");
    session->player.WriteFile("Music/Rock/b.mp3", "x");
    session->player.WriteFile("Music/Rock/a.mp3", "x");
    for (int i = 0; i < 500; i++) {
      char name[32];
      std::snprintf(name, sizeof name, "Music/Many/t%03d.mp3", i);
      session->player.WriteFile(name, "x");
    }
    session->Launch({{"tag", session->WindowsMusic() + "Rock\\a.mp3", "TITLE", "Song A"}});
    ASSERT_EQ(session->Init(), "init\t0");
  }
  static void TearDownTestSuite() {
    EXPECT_EQ(session->player.Stop(), 0);
    delete session;
    session = nullptr;
  }
  static PluginSession* session;
  PluginSession& S() { return *session; }

  // Sends a command and returns the first reply (any frame but a status) after it.
  Bytes Ask(const Bytes& command) {
    const size_t from = S().line.FrameCount();
    S().line.Send(command);
    return NextReply(from);
  }
  Bytes NextReply(size_t from) {
    Frame frame;
    const bool ok = S().line.WaitFor(from, [](const Frame& f) { return !f.payload.empty() && f.payload[0] != 'B'; },
                                     kWaitMs, &frame);
    EXPECT_TRUE(ok) << "no reply";
    return ok ? frame.payload : Bytes{};
  }
  // "Q" with a sub-command, an index and a query; returns the list kind of its reply.
  int Choose(uint8_t sub, uint16_t index = 0, const std::string& query = "") {
    Bytes command = {'Q', 0, sub, static_cast<uint8_t>(index >> 8), static_cast<uint8_t>(index), 0};
    command.insert(command.end(), query.begin(), query.end());
    const Bytes reply = Ask(command);
    if (reply.size() != 6 || reply[0] != 'L' || reply[2] != 5) return -1;
    return reply[3];
  }
  // The whole active list: restart, then chunks until the end-of-list acknowledgement.
  Strings Transfer() {
    EXPECT_EQ(Ask({'L', 0, 6}), (Bytes{'L', 0, 1, 0, 0, 0}));
    Strings titles;
    for (int chunks = 0; chunks < 600; chunks++) {
      const Bytes reply = Ask({'L', 0, 0});
      if (reply.size() != 244 || reply[0] != 'D') {
        EXPECT_EQ(reply, (Bytes{'L', 0, 3, 0, 0, 0}));
        break;
      }
      std::string title;
      for (size_t i = 4; i < 4u + reply[3]; i++) {
        if (reply[i] != 0) {
          title.push_back(static_cast<char>(reply[i]));
        } else {
          titles.push_back(title);
          title.clear();
        }
      }
    }
    return titles;
  }
  static size_t IndexOf(const Strings& list, const std::string& entry) {
    return static_cast<size_t>(std::find(list.begin(), list.end(), entry) - list.begin());
  }
  bool FolderShown(const std::string& name) {
    return S().NextStatus([&](const Status& s) { return s.folder == name; }, kWaitMs);
  }
};
PluginSession* ListsE2E::session = nullptr;

TEST_F(ListsE2E, BrowseDownAndUpThroughTheMusicFolder) {
  ASSERT_EQ(Choose(2), 1);
  ASSERT_EQ(Transfer(), kRoot);
  ASSERT_EQ(Choose(1, static_cast<uint16_t>(IndexOf(kRoot, "\\Rock"))), 1);
  EXPECT_TRUE(FolderShown("\\Rock\\"));
  EXPECT_EQ(Transfer(), (Strings{"\\Live", "Song A", "b.mp3"}));  // folders first, titles from the player
  ASSERT_EQ(Choose(0), 1);
  EXPECT_TRUE(FolderShown("\\Music\\"));
  EXPECT_EQ(Transfer(), kRoot);
  ASSERT_EQ(Choose(0), 1);  // never above the music folder
  EXPECT_TRUE(FolderShown("\\Music\\"));
}

TEST_F(ListsE2E, A500EntryFolderArrivesWholeAndInOrder) {
  ASSERT_EQ(Choose(2), 1);
  ASSERT_EQ(Choose(1, static_cast<uint16_t>(IndexOf(kRoot, "\\Many"))), 1);
  const Strings titles = Transfer();
  ASSERT_EQ(titles.size(), 500u);
  for (int i = 0; i < 500; i++) {
    char name[16];
    std::snprintf(name, sizeof name, "t%03d.mp3", i);
    ASSERT_EQ(titles[static_cast<size_t>(i)], name);
  }
  EXPECT_EQ(S().line.BrokenFrames(), 0);
}

TEST_F(ListsE2E, SearchShowsTheResultsAndPlaysOne) {
  const std::string rock = S().WindowsMusic() + "Rock\\";
  S().Set({"result", "love", rock + "a.mp3", "Love Song"});
  S().Set({"result", "love", rock + "b.mp3", "Lovely"});
  ASSERT_EQ(Choose(4, 0, "love"), 2);
  EXPECT_EQ(Transfer(), (Strings{"Love Song", "Lovely"}));
  std::vector<HostCall> library;
  for (const HostCall& c : S().player.HostCalls()) {
    if (c.window == "library") library.push_back(c);
  }
  ASSERT_EQ(library.size(), 2u);
  EXPECT_EQ(library[0].lParam, 0x701);
  EXPECT_EQ(library[0].Detail("query"), "love");
  EXPECT_EQ(library[0].Detail("max"), "500");
  EXPECT_EQ(library[0].Detail("results"), "0");
  EXPECT_EQ(library[1].lParam, 0x705);
  EXPECT_EQ(library[1].Detail("released"), "2");  // once, with the record the search filled
  EXPECT_EQ(library[1].Detail("misuse"), "");
  EXPECT_EQ(library[1].wParam, library[0].wParam);

  const size_t from = S().line.FrameCount();
  S().line.Send({'P', 0, 4, 0, 1});
  EXPECT_EQ(NextReply(from), (Bytes{'L', 0, 5, 0, 0, 0})) << "the changed playlist is the list now";
  EXPECT_NE(S().player.Command({"model"}).find("length=1"), std::string::npos);

  ASSERT_EQ(Choose(4, 0, "nothing"), 2);
  EXPECT_EQ(Transfer(), Strings{"No Search Results"});
  const std::string before = S().player.Command({"model"});
  S().line.Send({'P', 0, 4, 0, 0});  // the placeholder is no song
  ASSERT_TRUE(S().line.WaitForCount(S().line.FrameCount() + 4, kWaitMs));
  EXPECT_EQ(S().player.Command({"model"}), before);
}

TEST_F(ListsE2E, ABrowsedSongPlaysFromThePanel) {
  ASSERT_EQ(Choose(2), 1);
  const size_t from = S().line.FrameCount();
  S().line.Send({'P', 0, 3, 0, static_cast<uint8_t>(IndexOf(kRoot, "one.mp3"))});
  EXPECT_TRUE(S().NextStatus([](const Status& s) { return s.length == 1 && s.playState == 0; }, kWaitMs));
  EXPECT_EQ(NextReply(from), (Bytes{'L', 0, 5, 0, 0, 0}));
  const std::string model = S().player.Command({"model"});
  EXPECT_NE(model.find("length=1"), std::string::npos) << model;
  EXPECT_NE(model.find("state=1"), std::string::npos) << model;
  std::vector<HostCall> appended;
  for (const HostCall& c : S().player.HostCalls()) {
    if (c.message == 0x4A) appended.push_back(c);  // WM_COPYDATA
  }
  ASSERT_FALSE(appended.empty());
  EXPECT_EQ(appended.back().Detail("path"), S().WindowsMusic() + "one.mp3");
}

}  // namespace

// The panel's lists end to end: the real DLL in the emulated player over a real music
// folder, and the test as the panel choosing lists, taking them in chunks and playing
// what it was shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "plugin_session.h"

namespace {

constexpr int kWaitMs = 5000;
using Strings = std::vector<std::string>;
const Strings kRoot = {"\\Many", "\\QB_Dumped", "\\QB_Playlists", "\\Rock", "one.mp3", "two.wav"};
const Bytes kPlaylistChosen = {'L', 0, 5, 0, 0, 0};  // the tick's own "Q" 3 after a change

std::string Numbered(int i) {
  char name[16];
  std::snprintf(name, sizeof name, "t%03d.mp3", i);
  return name;
}

class ListsE2E : public OneSessionSuite {
 protected:
  static void SetUpTestSuite() {
    session = new PluginSession;
    S().Install();
    std::filesystem::create_directories(S().Music() + "Rock/Live");
    std::filesystem::create_directories(S().Music() + "Many");
    for (const char* name : {"Rock/a.mp3", "Rock/b.mp3"}) S().player.WriteFile(std::string("Music/") + name, "x");
    for (int i = 0; i < 500; i++) S().player.WriteFile("Music/Many/" + Numbered(i), "x");
    S().Launch({{"tag", S().WindowsMusic() + "Rock\\a.mp3", "TITLE", "Song A"}});
    ASSERT_EQ(S().Init(), "init\t0");
  }

  // The first frame after `from` that is not a status frame.
  static Bytes ReplyAfter(size_t from) {
    Frame f;
    EXPECT_TRUE(S().line.WaitFor(from, [](const Frame& f) { return f.payload.at(0) != 'B'; }, kWaitMs, &f));
    return f.payload;
  }
  static Bytes Ask(const Bytes& command) {
    const size_t from = S().line.FrameCount();
    S().line.Send(command);
    return ReplyAfter(from);
  }
  // "Q": returns the list kind of the reply.
  static int Choose(uint8_t sub, const std::string& entryOrQuery = "") {
    const uint8_t index = static_cast<uint8_t>(std::find(kRoot.begin(), kRoot.end(), entryOrQuery) - kRoot.begin());
    Bytes command = {'Q', 0, sub, 0, sub == 1 ? index : uint8_t{0}, 0};
    if (sub == 4) command.insert(command.end(), entryOrQuery.begin(), entryOrQuery.end());
    const Bytes reply = Ask(command);
    return reply.size() == 6 && reply[0] == 'L' && reply[2] == 5 ? reply[3] : -1;
  }
  // The whole active list: restart, then chunks until the end-of-list acknowledgement.
  static Strings Transfer() {
    EXPECT_EQ(Ask({'L', 0, 6}), (Bytes{'L', 0, 1, 0, 0, 0}));
    Strings titles;
    Bytes r;
    while ((r = Ask({'L', 0, 0})).size() == 244 && titles.size() <= 500) {
      for (size_t at = 4; at < 4u + r[3]; at += titles.back().size() + 1) {
        titles.emplace_back(reinterpret_cast<const char*>(&r[at]));
      }
    }
    EXPECT_EQ(r, (Bytes{'L', 0, 3, 0, 0, 0}));
    return titles;
  }
  static std::string Model() { return S().player.Command({"model"}); }
};

TEST_F(ListsE2E, BrowseDownAndUpAndTakeA500EntryFolderToItsEnd) {
  ASSERT_EQ(Choose(2), 1);
  ASSERT_EQ(Transfer(), kRoot);
  ASSERT_EQ(Choose(1, "\\Rock"), 1);
  EXPECT_TRUE(S().NextStatus([](const Status& st) { return st.folder == "\\Rock\\"; }, kWaitMs));
  EXPECT_EQ(Transfer(), (Strings{"\\Live", "Song A", "b.mp3"}));  // folders first, titles from the player
  ASSERT_EQ(Choose(0), 1);
  ASSERT_EQ(Choose(0), 1);  // never above the music folder
  EXPECT_TRUE(S().NextStatus([](const Status& st) { return st.folder == "\\Music\\"; }, kWaitMs));
  ASSERT_EQ(Choose(1, "\\Many"), 1);
  Strings expected;
  for (int i = 0; i < 500; i++) expected.push_back(Numbered(i));
  EXPECT_EQ(Transfer(), expected);
}

TEST_F(ListsE2E, SearchAndPlayWhatThePanelShows) {
  const std::string rock = S().WindowsMusic() + "Rock\\";
  S().Set({"result", "love", rock + "a.mp3", "Love Song"});
  S().Set({"result", "love", rock + "b.mp3", "Lovely"});
  ASSERT_EQ(Choose(4, "love"), 2);
  EXPECT_EQ(Transfer(), (Strings{"Love Song", "Lovely"}));
  std::vector<HostCall> library;
  for (const HostCall& c : S().player.HostCalls()) {
    if (c.window == "library") library.push_back(c);
  }
  ASSERT_EQ(library.size(), 2u);
  EXPECT_EQ(library[0].Detail("query"), "love");
  EXPECT_EQ(library[1].Detail("released"), "2") << "released once, with the record the search filled";
  EXPECT_EQ(library[1].wParam, library[0].wParam);

  size_t from = S().line.FrameCount();
  S().line.Send({'P', 0, 4, 0, 1});
  EXPECT_EQ(ReplyAfter(from), kPlaylistChosen) << "the changed playlist becomes the list";
  EXPECT_NE(Model().find("length=1"), std::string::npos);
  ASSERT_EQ(Choose(4, "nothing"), 2);
  EXPECT_EQ(Transfer(), Strings{"No Search Results"});

  ASSERT_EQ(Choose(2), 1);
  from = S().line.FrameCount();
  S().line.Send({'P', 0, 3, 0, 4});  // one.mp3 in the root list
  EXPECT_EQ(ReplyAfter(from), kPlaylistChosen);
  EXPECT_TRUE(S().NextStatus([](const Status& st) { return st.length == 1 && st.playState == 0; }, kWaitMs));
  const std::vector<HostCall> calls = S().player.HostCalls();
  const auto appended = std::find_if(calls.rbegin(), calls.rend(), [](const HostCall& c) { return c.message == 0x4A; });
  ASSERT_NE(appended, calls.rend());
  EXPECT_EQ(appended->Detail("path"), S().WindowsMusic() + "one.mp3");
}

}  // namespace

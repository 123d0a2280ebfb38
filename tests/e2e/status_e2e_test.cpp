// The status frames as the panel sees them, with the real DLL in the emulated player.
#include <gtest/gtest.h>

#include <string>

#include "plugin_session.h"

namespace {

constexpr int kWaitMs = 3000;

class StatusE2E : public OneSessionSuite {
 protected:
  static void SetUpTestSuite() {
    session = new PluginSession;
    ASSERT_EQ(session->Start({{"playlist", "fill", "3", "C:\\Music\\song%d.mp3"}}), "init\t0");
  }
  bool Next(const std::function<bool(const Status&)>& pred, Status* found = nullptr) {
    return S().NextStatus(pred, kWaitMs, found);
  }
  // Host calls that a tick makes to read the player; anything else changes it.
  static bool IsStatusRead(const HostCall& c) {
    if (c.window == "playlist") return c.wParam == 107;
    if (c.message != 1024) return false;
    const long long code = c.lParam;
    return code == 124 || code == 125 || code == 104 || code == 250 || code == 105 || code == 211 || code == 296;
  }
};

TEST_F(StatusE2E, FramesArriveContinuouslyWithTheSequenceCountingAndWrapping) {
  const size_t from = S().line.FrameCount();
  ASSERT_TRUE(S().line.WaitForCount(from + 260, 60000));
  const std::vector<Frame> frames = S().line.Frames();
  for (size_t i = from + 1; i < from + 260; i++) {
    ASSERT_EQ(frames[i].payload.size(), kStatusLength) << i;
    ASSERT_EQ(frames[i].payload[0], 'B');
    ASSERT_EQ(static_cast<uint8_t>(frames[i - 1].sequence + 1), frames[i].sequence) << i;
  }
  EXPECT_EQ(S().line.BrokenFrames(), 0);
}

TEST_F(StatusE2E, PlayStateShuffleAndTimeFollowThePlayer) {
  struct Case {
    const char* hostState;
    uint8_t shown;
  } cases[] = {{"1", 0}, {"3", 1}, {"0", 2}, {"7", 0} /* an undocumented answer shows playing */};
  for (const Case& c : cases) {
    S().Set({"state", c.hostState});
    EXPECT_TRUE(Next([&](const Status& s) { return s.playState == c.shown; })) << c.hostState;
  }
  S().Set({"shuffle", "1"});
  EXPECT_TRUE(Next([](const Status& s) { return s.shuffle == 1; }));
  S().Set({"shuffle", "0"});
  EXPECT_TRUE(Next([](const Status& s) { return s.shuffle == 0; }));

  S().Set({"elapsed", "185000"});
  EXPECT_TRUE(Next([](const Status& s) { return s.minutes == 3 && s.seconds == 5; }));
  S().Set({"elapsed", "-1"});  // nothing plays: no time at all
  EXPECT_TRUE(Next([](const Status& s) { return s.minutes == 0 && s.seconds == 0; }));
}

TEST_F(StatusE2E, A620EntryPlaylistIsTrimmedTo500WithinOneTick) {
  S().Set({"playlist", "fill", "620", "C:\\Music\\many%03d.mp3"});
  Status status;
  ASSERT_TRUE(Next([](const Status& s) { return s.length != 3; }, &status));
  EXPECT_EQ(status.length, 500);  // never 620, not even for one frame

  // In the log: the read that found 620, the deletions from the end, the read of 500.
  const std::vector<HostCall> calls = S().player.HostCalls();
  size_t at = 0;
  while (at < calls.size() && !(calls[at].lParam == 124 && calls[at].result == 620)) at++;
  ASSERT_LT(at, calls.size());
  for (long long position = 619; position >= 500; position--) {
    const HostCall& c = calls.at(++at);
    ASSERT_EQ(c.window, "playlist");
    ASSERT_EQ(c.wParam, 104);
    ASSERT_EQ(c.lParam, position);
  }
  EXPECT_EQ(calls.at(at + 1).lParam, 124);
  EXPECT_EQ(calls.at(at + 1).result, 500);
  EXPECT_EQ(S().player.Command({"model"}).find("length=500"), std::string("model\t").size());
}

TEST_F(StatusE2E, PositionAndTitleFollowThePlayer) {
  S().Set({"playlist", "fill", "3", "C:\\Music\\song%d.mp3"});
  S().Set({"tag", "C:\\Music\\song1.mp3", "TITLE", std::string(50, 'T')});
  S().Set({"pos", "1"});
  Status status;
  ASSERT_TRUE(Next([](const Status& s) { return s.position == 1 && !s.title.empty(); }, &status));
  EXPECT_EQ(status.title, std::string(39, 'T'));  // cut to 39 characters and a NUL
  EXPECT_TRUE(status.titleTerminated);
  EXPECT_EQ(status.length, 3);

  S().Set({"pos", "2"});  // the player knows no title for this one: never the previous song's
  EXPECT_TRUE(Next([](const Status& s) { return s.position == 2 && s.title.empty(); }));

  S().Set({"pos", "700"});
  EXPECT_TRUE(Next([](const Status& s) { return s.position == 500; }));
  S().Set({"pos", "0"});
}

TEST_F(StatusE2E, TitleBytesReachThePanelUnchanged) {
  S().Set({"playlist", "fill", "1", "C:\\Music\\bytes%d.mp3"});
  S().Set({"pos", "0"});
  std::string all;
  for (int b = 1; b < 256; b++) {
    if (b != '\t' && b != '\n' && b != '\r') all.push_back(static_cast<char>(b));
  }
  for (size_t at = 0; at < all.size(); at += 39) {
    const std::string title = all.substr(at, 39);
    S().Set({"tag", "C:\\Music\\bytes0.mp3", "TITLE", title});
    EXPECT_TRUE(Next([&](const Status& s) { return s.title == title; })) << "from byte " << int(uint8_t(title[0]));
  }
  EXPECT_EQ(S().line.BrokenFrames(), 0);
}

TEST_F(StatusE2E, AChangedPlaylistIsMarkedClean) {
  const size_t from = S().player.HostCallCount();
  S().Set({"changed", "1"});
  auto isChangedAnswer = [](const HostCall& c) { return c.window == "playlist" && c.wParam == 107 && c.result == 1; };
  ASSERT_TRUE(S().player.WaitForHostCall(from, isChangedAnswer, kWaitMs));
  ASSERT_TRUE(S().player.WaitForHostCall(
      from, [](const HostCall& c) { return c.window == "playlist" && c.wParam == 108; }, kWaitMs));
  const std::vector<HostCall> calls = S().player.HostCalls();
  size_t at = from;
  while (!isChangedAnswer(calls[at])) at++;
  EXPECT_EQ(calls.at(at + 1).window, "playlist");  // marked clean right after the question
  EXPECT_EQ(calls.at(at + 1).wParam, 108);
  EXPECT_NE(S().player.Command({"model"}).find("changed=0"), std::string::npos);
}

TEST_F(StatusE2E, UnknownLettersAndAwkwardBytesChangeNothing) {
  const std::string before = S().player.Command({"model"});
  const size_t calls = S().player.HostCallCount();
  Bytes every = {'Z'};
  for (int b = 0; b < 249; b++) every.push_back(static_cast<uint8_t>(b));
  S().line.Send(every);
  S().line.Send({0x03, 0x0A, 0x0D, 0x11, 0x13, 0x7F, 0xFF, 0x55, 0xAA, 0xBB, 0xCC});
  S().line.Send({'z', 0x11, 0x13, 0x11, 0x13});
  const size_t frames = S().line.FrameCount();
  ASSERT_TRUE(S().line.WaitForCount(frames + 10, kWaitMs));  // the cycle goes on
  EXPECT_EQ(S().player.Command({"model"}), before);
  const std::vector<HostCall> after = S().player.HostCalls();
  for (size_t i = calls; i < after.size(); i++) {
    const HostCall& c = after[i];
    EXPECT_TRUE(IsStatusRead(c)) << c.window << " " << c.message << " " << c.wParam << " " << c.lParam;
  }
  EXPECT_EQ(S().line.BrokenFrames(), 0);
}

}  // namespace

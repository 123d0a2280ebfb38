// The emulated player's playing clock, through the answers the plug-in gets: the
// transport buttons and the elapsed time and length it asks for (host code 105).
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

#include "host_replies.h"
#include "player_clock.h"
#include "player_model.h"

namespace {

constexpr uintptr_t kPrevious = 40044, kPlay = 40045, kPause = 40046, kStop = 40047, kNext = 40048;

// What the media library knows: a.mp3 6 s, b.mp3 10 s, d.mp3 2 s; c.mp3 nothing.
const std::map<std::string, int32_t> kLengths = {{"a.mp3", 6}, {"b.mp3", 10}, {"d.mp3", 2}, {"x.mp3", 30}};

intptr_t Ask(uintptr_t argument, intptr_t code) {
  TextLine details;
  details.used = 0;
  return MainUserMessage(argument, code, details);
}

void FreshPlaylist(PlayerModel& model, std::initializer_list<const char*> paths) {
  ModelClear(model);
  model.state = 0;
  for (const char* path : paths) ModelAppend(model, path, std::strlen(path));
}

struct ClockPlayer : ::testing::Test {
  PlayerModel& model = Model();
  void SetUp() override {
    FreshPlaylist(model, {"a.mp3", "b.mp3", "c.mp3", "d.mp3"});
    ClockEnable(model, true);
  }
  void TearDown() override { ClockEnable(model, false); }
};

}  // namespace

int32_t KnownTrackSeconds(const char* path) {
  const auto known = kLengths.find(path);
  return known != kLengths.end() ? known->second : -1;
}

TEST_F(ClockPlayer, PlaysPausesStopsAndMovesOnAsAPlayerDoes) {
  struct Step {
    const char* fault;  // what a wrong answer would mean
    uintptr_t button;   // 0: none
    int32_t advanceMs;
    int32_t state, position, elapsedMs, seconds;
  };
  const Step steps[] = {
      {"play must start the current song from 0 and the clock must run", kPlay, 2500, 1, 0, 2500, 6},
      {"pause must hold the clock", kPause, 3000, 3, 0, 2500, 6},
      {"play must resume a paused song where it was", kPlay, 500, 1, 0, 3000, 6},
      {"a song at its length must give way to the next, from 0", 0, 3000, 1, 1, 0, 10},
      {"the next song's clock must run", 0, 4000, 1, 1, 4000, 10},
      {"play while playing must start the song again", kPlay, 0, 1, 1, 0, 10},
      {"stop must reset the clock, which then stands", kStop, 2000, 0, 1, -1, 10},
      {"next while stopped must not start playing", kNext, 1000, 0, 2, -1, -1},
      {"a song of unknown length must never end", kPlay, 600000, 1, 2, 600000, -1},
      {"next while playing must start the next song from 0", kNext, 1500, 1, 3, 1500, 2},
      {"the last song's end must stop the player on it", 0, 500, 0, 3, -1, 2},
      {"previous must start that song from its beginning", kPrevious, 0, 0, 2, -1, -1},
  };
  for (const Step& s : steps) {
    if (s.button != 0) MainButton(s.button);
    ClockAdvance(model, s.advanceMs);
    EXPECT_EQ(Ask(0, 104), s.state) << s.fault;
    EXPECT_EQ(Ask(0, 125), s.position) << s.fault;
    EXPECT_EQ(Ask(0, 105), s.elapsedMs) << s.fault;
    EXPECT_EQ(Ask(1, 105), s.seconds) << s.fault;
  }
}

TEST_F(ClockPlayer, ASongThatReplacesThePlaylistStartsAnew) {
  MainButton(kPlay);
  ClockAdvance(model, 4000);
  FreshPlaylist(model, {"x.mp3"});  // as "P" 3 does it: clear, append, play
  model.state = 1;
  ClockAdvance(model, 100);
  EXPECT_EQ(Ask(0, 105), 100) << "the new song must not inherit the old one's time";
  EXPECT_EQ(Ask(1, 105), 30);
}

TEST(ClockOff, LeavesTheTimeATestSet) {
  PlayerModel& model = Model();
  FreshPlaylist(model, {"a.mp3"});
  model.elapsedMs = 65000;
  model.trackSeconds = 185;
  MainButton(kPlay);
  ClockAdvance(model, 10000);
  MainButton(kStop);
  EXPECT_EQ(Ask(0, 105), 65000) << "without the clock, the elapsed time is the test's";
  EXPECT_EQ(Ask(1, 105), 185);
}

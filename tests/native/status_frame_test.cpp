// The status payload, field by field.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "config/settings.h"
#include "fakes/fake_host.h"
#include "protocol/poll_tick.h"
#include "protocol/status_frame.h"

namespace {

TEST(StatusFrame, MapsThePlayerStateForThePanel) {
  EXPECT_EQ(MapPlayState(1), kStatePlaying);
  EXPECT_EQ(MapPlayState(3), kStatePaused);
  EXPECT_EQ(MapPlayState(0), kStateStopped);
  EXPECT_EQ(MapPlayState(2), kStatePlaying);   // an answer the player never documents
  EXPECT_EQ(MapPlayState(-1), kStatePlaying);
}

TEST(StatusFrame, TimeFieldsInBothModes) {
  struct Case {
    int32_t elapsedMs, trackSeconds;
    uint8_t mode, minutes, seconds;
    const char* what;
  } cases[] = {
      {185000, 0, 0, 3, 5, "elapsed 3:05"},
      {59999, 0, 0, 0, 59, "just under a minute"},
      {0, 185, 1, 0xFD, 0xFB, "a 3:05 track at its start: -3, -5"},
      {15000, 200, 1, 0xFD, 0xFB, "185 s left"},
      {140000, 200, 1, 0xFF, 0, "60 s left"},
      {199500, 200, 1, 0, 0, "under a second left"},
      {65000, -1, 1, 1, 6, "unknown length: remaining comes out positive"},
      {0, 2000000000, 1, static_cast<uint8_t>(-33333333), static_cast<uint8_t>(-20), "huge length must not overflow"},
  };
  for (const Case& c : cases) {
    uint8_t minutes = 0xAA, seconds = 0xAA;
    FillTimeFields(&minutes, &seconds, c.elapsedMs, c.trackSeconds, c.mode);
    EXPECT_EQ(minutes, c.minutes) << c.what;
    EXPECT_EQ(seconds, c.seconds) << c.what;
  }
}

TEST(StatusFrame, FolderNameIsTheLastComponentWithItsBackslashes) {
  struct Case {
    const char* folder;
    const char* name;  // null: none
  } cases[] = {
      {"C:\\Music\\Rock\\", "\\Rock\\"},   // one level down
      {"C:\\Music\\", "\\Music\\"},        // the music folder itself
      {"C:\\", nullptr},                   // a drive root has no name
      {"", nullptr},
      {"Music", nullptr},
      {"\\\\server\\share\\", "\\share\\"},
  };
  for (const Case& c : cases) {
    const char* name = CurrentFolderName(c.folder);
    if (c.name == nullptr) {
      EXPECT_EQ(name, nullptr) << c.folder;
    } else {
      ASSERT_NE(name, nullptr) << c.folder;
      EXPECT_STREQ(name, c.name);
    }
  }
}

TEST(StatusFrame, FolderFieldFitsItsFortyBytes) {
  uint8_t field[kTextFieldSize + 8];
  std::memset(field, 0xEE, sizeof field);
  FillFolderField(field, "C:\\Music\\Rock\\");
  EXPECT_STREQ(reinterpret_cast<char*>(field), "\\Rock\\");

  // 60 characters of name: cut, closed with a backslash, NUL at byte 39, nothing beyond.
  std::string longFolder = "C:\\Music\\" + std::string(60, 'x') + "\\";
  std::memset(field, 0xEE, sizeof field);
  FillFolderField(field, longFolder.c_str());
  EXPECT_EQ(field[0], '\\');
  EXPECT_EQ(field[37], 'x');
  EXPECT_EQ(field[38], '\\');
  EXPECT_EQ(field[39], 0);
  EXPECT_EQ(field[40], 0xEE);

  // Exactly 39 characters with both backslashes still fit whole.
  std::string fits = "C:\\" + std::string(37, 'y') + "\\";
  FillFolderField(field, fits.c_str());
  EXPECT_EQ(std::strlen(reinterpret_cast<char*>(field)), 39u);
  EXPECT_EQ(field[38], '\\');

  std::memset(field, 0xEE, sizeof field);
  FillFolderField(field, "D:\\");
  for (uint32_t i = 0; i < kTextFieldSize; i++) EXPECT_EQ(field[i], 0);
}

class StatusPayload : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFakeHost();
    TimeDisplayMode = 0;
    std::snprintf(CurrentFolder, sizeof CurrentFolder, "%s", "C:\\Music\\Rock\\");
  }
  void Build() {
    BuildStatusPayload(payload, static_cast<int32_t>(Host.files.size()), static_cast<uint32_t>(Host.position));
  }
  std::string Title() const { return std::string(reinterpret_cast<const char*>(payload + 12)); }
  uint8_t payload[kStatusPayloadSize];
};

TEST_F(StatusPayload, CarriesEveryFieldInPlace) {
  Host.files = {"C:\\a.mp3", "C:\\b.mp3", "C:\\c.mp3"};
  Host.titles["C:\\c.mp3"] = "Song C";
  Host.position = 2;
  Host.playState = 3;
  Host.shuffle = 1;
  Host.elapsedMs = 61000;
  Build();
  EXPECT_EQ(payload[0], 'B');
  EXPECT_EQ(payload[1] | payload[2] | payload[3], 0);
  EXPECT_EQ(payload[4], kStatePaused);
  EXPECT_EQ(payload[5], 1);
  EXPECT_EQ(payload[6], 1);
  EXPECT_EQ(payload[7], 1);
  EXPECT_EQ(payload[8], 0);
  EXPECT_EQ(payload[9], 3);
  EXPECT_EQ(payload[10], 0);
  EXPECT_EQ(payload[11], 2);
  EXPECT_EQ(Title(), "Song C");
  EXPECT_STREQ(reinterpret_cast<char*>(payload + 52), "\\Rock\\");
  EXPECT_EQ(Host.CallsStartingWith("105 1").size(), 0u);  // the length is asked only when counting down
}

TEST_F(StatusPayload, NoTimeWhileNothingPlaysInEitherMode) {
  Host.elapsedMs = -1;
  Host.trackSeconds = 200;
  for (uint8_t mode : {0, 1}) {
    TimeDisplayMode = mode;
    Build();
    EXPECT_EQ(payload[6], 0);
    EXPECT_EQ(payload[7], 0);
  }
}

TEST_F(StatusPayload, EmptyPlaylistHasNoTitleAndAsksForNone) {
  Build();
  for (int i = 8; i < 52; i++) EXPECT_EQ(payload[i], 0) << i;
  EXPECT_TRUE(Host.CallsStartingWith("211").empty());
  EXPECT_TRUE(Host.CallsStartingWith("296").empty());
}

TEST_F(StatusPayload, TitleIsCutTo39CharactersAndANul) {
  Host.files = {"C:\\long.mp3"};
  Host.titles["C:\\long.mp3"] = std::string(50, 'T');
  Build();
  EXPECT_EQ(Title(), std::string(39, 'T'));
  EXPECT_EQ(payload[51], 0);
  EXPECT_EQ(Host.CallsStartingWith("296 C:\\long.mp3 TITLE 40").size(), 1u);
}

TEST_F(StatusPayload, AnEntryWithoutTitleNeverShowsThePreviousSong) {
  Host.files = {"C:\\known.mp3", "C:\\unknown.mp3"};
  Host.titles["C:\\known.mp3"] = "Known";
  Build();
  EXPECT_EQ(Title(), "Known");
  Host.position = 1;  // the host writes nothing for this one
  Build();
  EXPECT_EQ(Title(), "");
}

TEST_F(StatusPayload, APositionWithoutEntryAsksNoTitle) {
  Host.files = {"C:\\a.mp3"};
  Host.titles["C:\\a.mp3"] = "A";
  Host.position = 7;
  Build();
  EXPECT_EQ(Title(), "");
  EXPECT_TRUE(Host.CallsStartingWith("296").empty());
}

}  // namespace

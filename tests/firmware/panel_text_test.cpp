// What the panel writes on its display: code page 1252 folded to what the display's ROM
// can show, the time, the status row and a scrolling title.
#include <gtest/gtest.h>

#include <cstring>

#include "fake_board.h"
#include "logic/status_view.h"
#include "logic/text_fold.h"
#include "logic/title_scroll.h"

namespace {

std::string Fold(const std::string& text, uint8_t room = 64) {
  char out[64];
  FoldText(text.c_str(), 0xFF, out, room);
  return out;
}

TEST(PanelText, FoldsCodePage1252ToWhatTheDisplayShows) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"Caf\xE9 \xC5sa", "Cafe Asa"},  // accents fall off
      {"Stra\xDF"
       "e \xC6on \x9C",
       "Strasse AEon oe"},                       // ligatures take two letters
      {"Wait\x85", "Wait..."},                   // an ellipsis takes three
      {"\x93Hi\x94 \x96 \x92s", "\"Hi\" - 's"},  // typographic quotes and dashes
      {"AC\\DC ~1", "AC/DC -1"},                 // the ROM shows a yen sign and an arrow here
      {"a\tb\x7F"
       "c",
       "a b c"},                          // control characters and DEL
      {"\x81\x8D\x8F\x90\x9D", "?????"},  // undefined in code page 1252
      {"\xFF\xDE\xD7", "yThx"},
  };
  for (const Case& c : cases) EXPECT_EQ(Fold(c.in), c.out) << c.in;
  // A fold that would not fit whole is left out, never cut: "ss" does not fit one place.
  EXPECT_EQ(Fold("ab\xDF", 4), "ab");
  for (int c = 1; c < 256; c++) {
    const std::string folded = Fold(std::string(1, static_cast<char>(c)));
    for (char f : folded) EXPECT_TRUE(f >= 0x20 && f <= 0x7D && f != '\\') << "byte " << c;
  }
}

TEST(PanelText, ShowsTimePlayedAndTimeLeft) {
  struct Case {
    int8_t minutes, seconds;
    bool leftAsked;
    const char* shown;
  } cases[] = {
      {1, 5, false, "1:05"},   {static_cast<int8_t>(200), 7, false, "200:07"},  // played minutes are unsigned
      {-3, -5, true, "-3:05"}, {-3, -5, false, "-3:05"},                        // negative seconds say it: time left
      {-1, 0, true, "-1:00"},  // whole minutes left: only the mode says
      {0, 0, true, "0:00"},    {-128, 0, true, "-128:00"},
  };
  for (const Case& c : cases) {
    char text[8];
    FormatTime(c.minutes, c.seconds, c.leftAsked, text);
    EXPECT_STREQ(text, c.shown);
  }
}

TEST(PanelText, TheStatusRowShowsStateTimeEntryAndShuffle) {
  PanelStatus status = {};
  Screen screen;
  struct Case {
    uint8_t state, shuffle;
    int8_t minutes, seconds;
    uint16_t length, position;
    const char* row;
  } cases[] = {
      {kPlaying, 1, 3, 7, 345, 11, "▶  3:07  12/345⇄"},
      {kPaused, 0, -2, -15, 3, 0, "‖ -2:15     1/3 "},
      {kStopped, 0, 0, 0, 0, 0, "■  0:00         "},  // an empty playlist shows no entry
      {kPlaying, 0, 0, 1, 500, 499, "▶  0:01 500/500 "},
  };
  for (const Case& c : cases) {
    status.playState = c.state;
    status.shuffle = c.shuffle;
    status.minutes = c.minutes;
    status.seconds = c.seconds;
    status.length = c.length;
    status.position = c.position;
    PutStatusRow(&screen, 0, status, false);
    Board.shown = screen;
    EXPECT_EQ(ShownRow(0), c.row);
  }
}

std::string Visible(const TitleScroll& scroll) {
  Screen screen;
  ScrollPut(scroll, &screen, 1);
  return std::string(screen.cells[1], Columns());
}

TEST(PanelText, ALongTitleScrollsAndComesRoundAfterAPause) {
  TitleScroll scroll = {};
  EXPECT_TRUE(ScrollSetTitle(&scroll, "Short", 0));
  EXPECT_EQ(Visible(scroll), "Short           ");
  EXPECT_FALSE(ScrollStep(&scroll, 60000)) << "a title that fits stands still";

  const char* title = "Twenty characters ab";  // 20 characters: a lap of 24 steps
  EXPECT_TRUE(ScrollSetTitle(&scroll, title, 1000));
  EXPECT_EQ(Visible(scroll), "Twenty character");
  EXPECT_FALSE(ScrollStep(&scroll, 1000 + kScrollPauseMs - 1)) << "it stands still first";
  uint32_t now = 1000 + kScrollPauseMs;
  EXPECT_TRUE(ScrollStep(&scroll, now));
  EXPECT_EQ(Visible(scroll), "wenty characters");
  for (int step = 2; step <= 20; step++) ASSERT_TRUE(ScrollStep(&scroll, now += kScrollStepMs));
  EXPECT_EQ(Visible(scroll), "    Twenty chara") << "the gap, then the start again";
  for (int step = 21; step <= 24; step++) ASSERT_TRUE(ScrollStep(&scroll, now += kScrollStepMs));
  EXPECT_EQ(Visible(scroll), "Twenty character");
  EXPECT_FALSE(ScrollStep(&scroll, now + kScrollStepMs)) << "and stands still at its start again";
  EXPECT_FALSE(ScrollSetTitle(&scroll, title, now)) << "the same title keeps its place";
}

}  // namespace

// A list of up to 500 titles kept in a window of six: what each move of the cursor costs
// in titles streamed, and what the window then holds.
#include "logic/list_window.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A plug-in's list of `size` titles "0", "1", ...; streams as the transfer does: from the
// start whenever the window needs a title behind the stream, on while it needs one ahead.
struct Plugin {
  uint16_t size;
  uint16_t cursor = 0;  // the plug-in's: the next title "L" 0 brings

  // Streams until the window needs nothing; returns the titles (and end marks) it took.
  int Fill(ListWindow* w) {
    int cost = 0;
    for (StreamNeed need; (need = WindowNeeds(*w)) != StreamNeed::Nothing; cost++) {
      if (need == StreamNeed::Restart) {
        WindowStreamStarts(w);
        cursor = 0;
      }
      if (cursor == size) {
        WindowStreamEnds(w);
        continue;
      }
      const std::string title = std::to_string(cursor++);
      WindowTakeTitle(w, title.c_str(), static_cast<uint8_t>(title.size()));
    }
    return cost;
  }
};

// The titles the window holds, as "first..last", "" when none.
std::string Held(const ListWindow& w) {
  std::string held;
  for (uint16_t i = w.first; i < w.first + kWindowTitles; i++) {
    if (const char* t = WindowTitle(w, i)) held += (held.empty() ? "" : " ") + std::string(t);
  }
  return held;
}

TEST(ListWindow, EachMoveStreamsOnlyWhatTheWindowLacks) {
  struct Step {
    const char* what;
    int jumpTo;  // -1: a move by `by`
    int by;
    int cost;
    const char* held;
    uint16_t cursor;
  };
  struct Case {
    const char* list;
    uint16_t size;
    bool countKnown;
    std::vector<Step> steps;
  } cases[] = {
      {"a folder of 20: the count is learnt once, by one whole stream",
       20,
       false,
       {{"opened", 0, 0, 21, "0 1 2 3 4 5", 0},
        {"down within the window", -1, 3, 0, "0 1 2 3 4 5", 3},
        {"down past it: streamed again up to the new window", -1, 4, 11, "5 6 7 8 9 10", 7},
        {"up past it: from the start again, title 5 kept", 0, 0, 5, "0 1 2 3 4 5", 0},
        // the stream stopped at title 6 when the window was full: it goes on from there
        {"to the last: the window ends with the list", 19, 0, 15, "14 15 16 17 18 19", 19},
        {"past the end stays at the last", -1, 5, 0, "14 15 16 17 18 19", 19}}},
      {"the playlist of 500: its count is known, the stream stops when the window is full",
       500,
       true,
       {{"opened", 0, 0, 6, "0 1 2 3 4 5", 0},
        {"to the last entry: the rest of one whole transfer", 499, 0, 494, "494 495 496 497 498 499", 499},
        {"one up within the window", -1, -1, 0, "494 495 496 497 498 499", 498}}},
      {"a list of 3", 3, false, {{"opened", 0, 0, 4, "0 1 2", 0}, {"down past its end", -1, 9, 0, "0 1 2", 2}}},
      {"an empty list", 0, false, {{"opened", 0, 0, 1, "", 0}, {"nowhere to go", -1, 1, 0, "", 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.list);
    ListWindow w;
    WindowOpen(&w, ListKind::Folder, c.countKnown ? c.size : kCountUnknown);
    Plugin plugin{c.size};
    for (const Step& s : c.steps) {
      SCOPED_TRACE(s.what);
      if (s.jumpTo >= 0) {
        WindowJump(&w, static_cast<uint16_t>(s.jumpTo));
      } else {
        WindowMove(&w, static_cast<int16_t>(s.by));
      }
      EXPECT_EQ(plugin.Fill(&w), s.cost);
      EXPECT_EQ(Held(w), s.held);
      EXPECT_EQ(w.cursor, s.cursor);
    }
  }
}

TEST(ListWindow, TheEndOfAListNotCountedYetCostsOneStream) {
  ListWindow w;
  WindowOpen(&w, ListKind::Search, kCountUnknown);
  Plugin plugin{300, 1};
  WindowStreamStarts(&w);
  WindowTakeTitle(&w, "0", 1);  // the first title is in when the user asks for the end
  WindowToTheEnd(&w);
  EXPECT_EQ(plugin.Fill(&w), 300);  // on from title 1 to the end mark
  EXPECT_EQ(w.cursor, 299);
  EXPECT_EQ(Held(w), "294 295 296 297 298 299");
}

TEST(ListWindow, AMovePastTheTitlesSeenIsKeptUntilTheStreamBringsThem) {
  struct Case {
    const char* what;
    int16_t move;     // from entry 0, with titles 0 to 9 seen and the count unknown
    uint16_t cursor;  // once the 300-entry list has streamed to the end
  } cases[] = {
      {"a fast turn's 30 entries", 30, 30},
      {"past the list's end: the last", 400, 299},
      {"within what was seen", 5, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ListWindow w;
    WindowOpen(&w, ListKind::Folder, kCountUnknown);
    Plugin plugin{300};
    WindowStreamStarts(&w);
    for (int i = 0; i < 10; i++) WindowTakeTitle(&w, std::to_string(plugin.cursor++).c_str(), 1);
    WindowMove(&w, c.move);
    EXPECT_EQ(w.cursor, c.move < 10 ? c.move : 9) << "no further than the titles seen, for now";
    plugin.Fill(&w);
    EXPECT_EQ(w.cursor, c.cursor);
    EXPECT_NE(WindowTitle(w, c.cursor), nullptr);
  }
}

TEST(ListWindow, AMoveAheadOfARunningStreamLetsItGoOn) {
  ListWindow w;
  WindowOpen(&w, ListKind::Playlist, 500);
  WindowStreamStarts(&w);
  WindowTakeTitle(&w, "0", 1);
  WindowJump(&w, 100);
  EXPECT_EQ(WindowNeeds(w), StreamNeed::GoOn) << "titles 98 to 103 are still ahead of the stream";
  WindowJump(&w, 0);
  EXPECT_EQ(WindowNeeds(w), StreamNeed::Restart) << "title 1 passed the stream while it was not wanted";
}

TEST(ListWindow, AListThatShrankAtThePluginIsFetchedAgainWithTheCursorInIt) {
  ListWindow w;
  WindowOpen(&w, ListKind::Playlist, 10);
  Plugin plugin{10};
  plugin.Fill(&w);
  WindowJump(&w, 9);
  plugin.Fill(&w);
  WindowForget(&w, 4);  // four entries left
  EXPECT_EQ(w.cursor, 3);
  EXPECT_EQ(Held(w), "");
  plugin.size = 4;
  EXPECT_EQ(plugin.Fill(&w), 4);
  EXPECT_EQ(Held(w), "0 1 2 3");
  // A stream that ends sooner than the count said: the stream's end is the truth.
  WindowForget(&w, 9);
  WindowJump(&w, 8);
  plugin.Fill(&w);
  EXPECT_EQ(w.count, 4);
  EXPECT_EQ(w.cursor, 3);
}

}  // namespace

// A title longer than the columns it has scrolls through them: it stands still for
// a moment so its start can be read, then moves one character at a time, comes round
// after a gap and stands still again at its start. A title that fits stands still.
#pragma once
#include <stdint.h>

#include "screen.h"

// 39 characters from the wire; a fold to two or three characters past the room is left
// out (the room is RAM, of which the 20x4's screen and shadow took 96 bytes).
constexpr uint8_t kScrollTextRoom = 40;
constexpr uint16_t kScrollPauseMs = 1500;
constexpr uint16_t kScrollStepMs = 300;
constexpr uint8_t kScrollGap = 4;

struct TitleScroll {
  char text[kScrollTextRoom];  // folded for the display
  uint8_t length;
  uint8_t width;   // the columns it is shown in
  uint8_t offset;  // the first character shown
  uint32_t nextMs;
};

// A title (code page 1252) to show in `width` columns (0: the display's width; more: it
// goes on in the next row) from its start, after the pause;
// true when it differs from the one shown (the same title again keeps its place).
bool ScrollSetTitle(TitleScroll* scroll, const char* title, uint32_t nowMs, uint8_t width = 0);
// Moves on one character when that is due; true when the visible part changed.
bool ScrollStep(TitleScroll* scroll, uint32_t nowMs);
// The visible part, into a row of the screen from a column on (width columns).
void ScrollPut(const TitleScroll& scroll, Screen* screen, uint8_t row, uint8_t column = 0);

// The one long text of the screen shown over the status screen (the title under a list's
// cursor, a song's artist or title, the song a question is about): one screen shows at
// a time, so they share it.
extern TitleScroll ViewScroll;

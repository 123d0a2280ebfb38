// What the display should show, 16x2 or 20x4: the panel's screens compose it here, and the
// display driver writes only the characters that changed. Everything on it is display-safe: folded
// ASCII (text_fold.h) or one of the eight custom glyphs, which are defined once at start-up
// in these slots (the simulated board shows them by slot too).
#pragma once
#include <stdint.h>

#include "flash_text.h"

// One buffer sized for the larger display serves both: a 16x2 display uses its top-left
// corner. The size in use is chosen once, at start (the setup screen keeps it).
constexpr uint8_t kMaxColumns = 20;
constexpr uint8_t kMaxRows = 4;
enum class DisplaySize : uint8_t { k16x2 = 0, k20x4 = 1 };
void SetDisplaySize(DisplaySize size);
DisplaySize ShownDisplaySize();
uint8_t Columns();  // 16 or 20
uint8_t Rows();     // 2 or 4

enum Glyph : char {
  kGlyphPlay = 0,     // a right-pointing triangle
  kGlyphPause = 1,    // two bars
  kGlyphStop = 2,     // a square
  kGlyphShuffle = 3,  // crossed arrows
  kGlyphUp = 4,       // more above
  kGlyphDown = 5,     // more below
  kGlyphNote = 6,     // a song
  kGlyphMore = 7,     // an ellipsis: text goes on
};
constexpr uint8_t kGlyphCount = 8;
constexpr uint8_t kGlyphRows = 8;
// The glyphs' 5x8 bitmaps, row by row, in slot order.
extern const uint8_t kGlyphBitmaps[kGlyphCount][kGlyphRows] FLASH;

struct Screen {
  char cells[kMaxRows][kMaxColumns];
  bool light;  // the backlight
};

void ClearScreen(Screen* screen);
// Text already folded for the display, from a column on, cut at the row's end; returns the
// column after it.
uint8_t PutText(Screen* screen, uint8_t row, uint8_t column, const char* text);
uint8_t PutFlash(Screen* screen, uint8_t row, uint8_t column, FlashText text);
// Code-page 1252 text, folded on the way.
uint8_t PutFolded(Screen* screen, uint8_t row, uint8_t column, const char* text);
void PutChar(Screen* screen, uint8_t row, uint8_t column, char c);
// A number from a column on; returns the column after it.
uint8_t PutNumber(Screen* screen, uint8_t row, uint8_t column, uint16_t value);
// A number that ends in the row's last column.
void PutNumberEnd(Screen* screen, uint8_t row, uint16_t value);

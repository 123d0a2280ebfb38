// What the 16x2 display should show: the panel's screens compose it here, and the display
// driver writes only the characters that changed. Everything on it is display-safe: folded
// ASCII (text_fold.h) or one of the eight custom glyphs, which are defined once at start-up
// in these slots (the simulated board shows them by slot too).
#pragma once
#include <stdint.h>

#include "flash_text.h"

constexpr uint8_t kColumns = 16;
constexpr uint8_t kRows = 2;

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
  char cells[kRows][kColumns];
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

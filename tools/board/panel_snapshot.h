// A picture's worth of the panel: what the display shows (its 32 cells' character codes,
// the display-on bit), the custom characters' bitmaps and the backlight, as one line of
// text. The board prints it for a script's `snapshot NAME`:
//
//   snapshot <t> NAME light on display on rows |▶  0:02     1/3 |Intro           | cells <64 hex> cgram <128 hex>
//
// (a 20x4 display: four rows and 160 hex digits of cells; the cells' count gives the
// size back)
// and the picture drawn from it is stored with the line (without its time) beside it,
// so that a test can tell whether the board still shows what the picture shows. The
// rows are for people (glyph_table.h); the cells and the CGRAM are what is drawn.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "glyph_table.h"
#include "hd44780_memory.h"

struct PanelSnapshot {
  bool light = false;
  bool displayOn = false;
  DisplaySize size = kShieldSize;
  std::array<uint8_t, kMostColumns * kMostRows> cells{};  // row by row, size.columns a row
  std::array<uint8_t, kCgramBytes> cgram{};             // each row's five dots, bits 4-0
  int CellCount() const { return size.columns * size.rows; }
};

PanelSnapshot TakeSnapshot(const Hd44780Memory& memory, bool light, DisplaySize size = kShieldSize);
// NAME and what follows it on the board's line; a name is letters, digits and '-'.
std::string SnapshotText(const std::string& name, const PanelSnapshot& s);
bool SnapshotName(const std::string& name);
// Reads SnapshotText back; false for a line that is not one.
bool ParseSnapshot(const std::string& text, std::string* name, PanelSnapshot* s);

// What the display shows for a byte of its text memory. The simulated display part
// cannot hold custom character bitmaps (its CGRAM writes land in the text memory), so
// the eight custom slots show as the fixed glyphs the firmware defines them as.
#pragma once
#include <cstdint>
#include <string>

// The panels' displays: the shield's 16x2, and 16x2 or 20x4 on an I2C backpack.
struct DisplaySize {
  int columns;
  int rows;
};
constexpr DisplaySize kShieldSize = {16, 2};
constexpr DisplaySize kWideSize = {20, 4};
constexpr int kMostColumns = 20;
constexpr int kMostRows = 4;
constexpr int kLcdColumns = kShieldSize.columns;  // the shield's, as the pictures began

// One character as UTF-8: the slot glyphs for 0x00-0x0F, ASCII for 0x20-0x7E, "?" else.
const char* GlyphOf(uint8_t code);
// A row of `columns` cells as UTF-8 text.
std::string RowText(const uint8_t* cells, int columns = kLcdColumns);

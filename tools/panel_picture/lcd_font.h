// The display's character generator: each character code's 5x8 dots. The HD44780's
// ROM (character set A00) is ASCII from 0x20 to 0x7D, with a yen sign at 0x5C and
// arrows at 0x7E and 0x7F; codes 0x00-0x0F are the custom characters (CGRAM). Its
// 5x7 shapes are drawn here from a BDF font of the same size, the public-domain 5x7 of
// X11 (Debian's xfonts-base, made BDF by pcf2bdf): rows 0-6 of a cell hold the font's
// ascent and descent, row 7 is the cursor's.
#pragma once
#include <array>
#include <cstdint>
#include <string>

constexpr int kCellDotColumns = 5;
constexpr int kCellDotRows = 8;

struct LcdFont {
  // Each code's rows, bits 4-0 (bit 4 the leftmost dot); codes the ROM leaves blank, and
  // those the font lacks, are all 0.
  std::array<std::array<uint8_t, kCellDotRows>, 256> rows{};
};

// Reads a BDF font into the ROM's codes; false with *problem set when it cannot.
bool LoadLcdFont(const std::string& bdfPath, LcdFont* font, std::string* problem);
// The same from a BDF font's text.
bool ParseLcdFont(const std::string& bdf, LcdFont* font, std::string* problem);

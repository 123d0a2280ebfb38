// What the display shows for a byte of its text memory. The simulated display part
// cannot hold custom character bitmaps (its CGRAM writes land in the text memory), so
// the eight custom slots show as the fixed glyphs the firmware defines them as.
#pragma once
#include <cstdint>
#include <string>

constexpr int kLcdColumns = 16;
constexpr int kLcdRows = 2;

// One character as UTF-8: the slot glyphs for 0x00-0x0F, ASCII for 0x20-0x7E, "?" else.
const char* GlyphOf(uint8_t code);
// A row of kLcdColumns cells as UTF-8 text.
std::string RowText(const uint8_t* cells);

// A picture of the panel's display as the glass shows it: each character a cell of 5x8
// dots, each dot a square with a thin gap around it, a wider gap between cells and
// rows, as on a real 16x2 module. The common shield's colours: white dots on blue with
// the backlight on; with it off the glass is dark and the dots barely show. A display
// switched off (its D bit clear) shows no dots.
#pragma once
#include <cstdint>
#include <vector>

#include "lcd_font.h"
#include "panel_snapshot.h"

constexpr int kDotPx = 4;       // a dot's side
constexpr int kDotGapPx = 1;    // between dots of a cell
constexpr int kCellGapPx = 5;   // between cells, beside and below
constexpr int kMarginPx = 20;   // the glass around the characters

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // rows top down, 3 bytes a pixel
};

Picture DrawPanel(const PanelSnapshot& s, const LcdFont& font);
// The dots a cell shows for a character code: CGRAM for 0x00-0x0F, the ROM for the rest.
const uint8_t* CharacterRows(const PanelSnapshot& s, const LcdFont& font, uint8_t code);

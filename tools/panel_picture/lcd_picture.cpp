#include "lcd_picture.h"

namespace {

struct Rgb {
  uint8_t r, g, b;
};

// What one look shows: the glass between dots, a dot that is clear, one that is set.
struct Colours {
  Rgb glass, clearDot, setDot;
};

constexpr Colours kLit = {{24, 52, 220}, {34, 68, 240}, {236, 242, 255}};
constexpr Colours kDark = {{10, 12, 26}, {13, 16, 34}, {40, 46, 70}};

constexpr int kCellWidthPx = kCellDotColumns * (kDotPx + kDotGapPx) - kDotGapPx;
constexpr int kCellHeightPx = kCellDotRows * (kDotPx + kDotGapPx) - kDotGapPx;

void Fill(Picture& p, int x, int y, int w, int h, Rgb c) {
  for (int row = y; row < y + h; row++) {
    for (int column = x; column < x + w; column++) {
      uint8_t* px = &p.rgb[3 * (static_cast<size_t>(row) * p.width + column)];
      px[0] = c.r;
      px[1] = c.g;
      px[2] = c.b;
    }
  }
}

void DrawCell(Picture& p, int x, int y, const uint8_t* rows, const Colours& look) {
  for (int row = 0; row < kCellDotRows; row++) {
    for (int dot = 0; dot < kCellDotColumns; dot++) {
      const bool set = rows != nullptr && ((rows[row] >> (4 - dot)) & 1);
      Fill(p, x + dot * (kDotPx + kDotGapPx), y + row * (kDotPx + kDotGapPx), kDotPx, kDotPx,
           set ? look.setDot : look.clearDot);
    }
  }
}

}  // namespace

const uint8_t* CharacterRows(const PanelSnapshot& s, const LcdFont& font, uint8_t code) {
  if (code < 0x10) return &s.cgram[(code & 7) * kCellDotRows];
  return font.rows[code].data();
}

Picture DrawPanel(const PanelSnapshot& s, const LcdFont& font) {
  Picture p;
  const int columns = s.size.columns, rows = s.size.rows;
  p.width = 2 * kMarginPx + columns * kCellWidthPx + (columns - 1) * kCellGapPx;
  p.height = 2 * kMarginPx + rows * kCellHeightPx + (rows - 1) * kCellGapPx;
  p.rgb.assign(static_cast<size_t>(p.width) * p.height * 3, 0);
  const Colours& look = s.light ? kLit : kDark;
  Fill(p, 0, 0, p.width, p.height, look.glass);
  for (int row = 0; row < rows; row++) {
    for (int column = 0; column < columns; column++) {
      const uint8_t code = s.cells[row * columns + column];
      DrawCell(p, kMarginPx + column * (kCellWidthPx + kCellGapPx), kMarginPx + row * (kCellHeightPx + kCellGapPx),
               s.displayOn ? CharacterRows(s, font, code) : nullptr, look);
    }
  }
  return p;
}

#include "glyph_table.h"

namespace {

// The firmware's slots: play, pause, stop, shuffle, up, down, note, ellipsis.
constexpr const char* kSlotGlyphs[8] = {"▶", "‖", "■", "⇄", "↑", "↓", "♪", "…"};

// Every printable ASCII character as a string of its own, so GlyphOf can hand out pointers.
struct AsciiStrings {
  char text[0x7F - 0x20][2];
  AsciiStrings() {
    for (int c = 0x20; c < 0x7F; c++) {
      text[c - 0x20][0] = static_cast<char>(c);
      text[c - 0x20][1] = 0;
    }
  }
};

const AsciiStrings kAscii;

}  // namespace

const char* GlyphOf(uint8_t code) {
  if (code < 0x10) return kSlotGlyphs[code & 7];  // 0x08-0x0F are the same slots
  if (code >= 0x20 && code < 0x7F) return kAscii.text[code - 0x20];
  return "?";
}

std::string RowText(const uint8_t* cells, int columns) {
  std::string text;
  for (int i = 0; i < columns; i++) text += GlyphOf(cells[i]);
  return text;
}

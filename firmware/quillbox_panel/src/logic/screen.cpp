#include "screen.h"

#include <string.h>

#include "text_fold.h"

// clang-format off
const uint8_t kGlyphBitmaps[kGlyphCount][kGlyphRows] FLASH = {
    {0x08, 0x0C, 0x0E, 0x0F, 0x0E, 0x0C, 0x08, 0x00},  // play
    {0x1B, 0x1B, 0x1B, 0x1B, 0x1B, 0x1B, 0x1B, 0x00},  // pause
    {0x00, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x00, 0x00},  // stop
    {0x1A, 0x06, 0x04, 0x0C, 0x1A, 0x03, 0x00, 0x00},  // shuffle
    {0x04, 0x0E, 0x1F, 0x04, 0x04, 0x00, 0x00, 0x00},  // more above
    {0x00, 0x00, 0x04, 0x04, 0x1F, 0x0E, 0x04, 0x00},  // more below
    {0x02, 0x03, 0x02, 0x02, 0x0E, 0x1E, 0x0C, 0x00},  // song
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x15, 0x00},  // ellipsis
};
// clang-format on

namespace {

DisplaySize Size = DisplaySize::k16x2;

}  // namespace

void SetDisplaySize(DisplaySize size) { Size = size; }
DisplaySize ShownDisplaySize() { return Size; }
uint8_t Columns() { return Size == DisplaySize::k20x4 ? 20 : 16; }
uint8_t Rows() { return Size == DisplaySize::k20x4 ? 4 : 2; }

void ClearScreen(Screen* screen) { memset(screen->cells, ' ', sizeof screen->cells); }

void PutChar(Screen* screen, uint8_t row, uint8_t column, char c) {
  if (row < Rows() && column < Columns()) screen->cells[row][column] = c;
}

uint8_t PutText(Screen* screen, uint8_t row, uint8_t column, const char* text) {
  for (; *text != '\0' && column < Columns(); text++) PutChar(screen, row, column++, *text);
  return column;
}

uint8_t PutFlash(Screen* screen, uint8_t row, uint8_t column, FlashText text) {
  for (uint8_t i = 0; FlashChar(text, i) != '\0' && column < Columns(); i++) {
    PutChar(screen, row, column++, FlashChar(text, i));
  }
  return column;
}

uint8_t PutFolded(Screen* screen, uint8_t row, uint8_t column, const char* text) {
  for (; *text != '\0' && column < Columns(); text++) {
    char folded[3];
    const uint8_t n = FoldChar(static_cast<uint8_t>(*text), folded);
    for (uint8_t k = 0; k < n; k++) PutChar(screen, row, column++, folded[k]);
  }
  return column < Columns() ? column : Columns();
}

uint8_t PutNumber(Screen* screen, uint8_t row, uint8_t column, uint16_t value) {
  char digits[5];
  uint8_t n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (n > 0) PutChar(screen, row, column++, digits[--n]);
  return column;
}

void PutNumberEnd(Screen* screen, uint8_t row, uint16_t value) {
  uint8_t digits = 1;
  for (uint16_t rest = value / 10; rest != 0; rest /= 10) digits++;
  PutNumber(screen, row, static_cast<uint8_t>(Columns() - digits), value);
}

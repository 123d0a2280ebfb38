#include "lcd_core.h"

#include <string.h>

namespace {

constexpr uint8_t kClear = 0x01;
constexpr uint8_t kEntryIncrement = 0x06;
constexpr uint8_t kDisplayOn = 0x0C;  // no cursor, no blink
constexpr uint8_t kFourBitTwoLines = 0x28;
constexpr uint8_t kSetCgram = 0x40;
constexpr uint8_t kSetDdram = 0x80;
constexpr uint8_t kNoAddress = 0xFF;

// The start-up, one operation a step. Whatever mode the controller was left in, three
// times "8-bit" brings it to a known state, then "4-bit" (the datasheet's figure 24);
// the datasheet names no time after the third nor after "4-bit": they wait as long as
// the second, as common drivers do. The glyphs are defined once: redefining one later
// would change it wherever it already stands.
constexpr uint8_t kGlyphSteps = kGlyphCount * kGlyphRows;
constexpr uint8_t kGlyphsFrom = 12;
constexpr uint8_t kStartSteps = kGlyphsFrom + kGlyphSteps + 2;

uint8_t Step = kStartSteps;
uint8_t Cursor = kNoAddress;  // where the controller writes the next character
bool LightShown = false;
char Shadow[kMaxRows][kMaxColumns];  // what the controller shows
bool ReachedLarge = false;  // a 20x4 was written since the start; beyond what was, all is blank

LcdOp StartOp(uint8_t step) {
  if (step >= kGlyphsFrom && step < kGlyphsFrom + kGlyphSteps) {
    const uint8_t i = static_cast<uint8_t>(step - kGlyphsFrom);
    return LcdOp{LcdOpKind::Data, FlashByte(&kGlyphBitmaps[i / kGlyphRows][i % kGlyphRows])};
  }
  switch (step) {
    case 0: return LcdOp{LcdOpKind::Nibble, 0x30};
    case 1: return LcdOp{LcdOpKind::WaitMs, kLcdFirstResetMs};
    case 2: return LcdOp{LcdOpKind::Nibble, 0x30};
    case 3: return LcdOp{LcdOpKind::WaitMs, kLcdSecondResetMs};
    case 4: return LcdOp{LcdOpKind::Nibble, 0x30};
    case 5: return LcdOp{LcdOpKind::WaitMs, kLcdSecondResetMs};
    case 6: return LcdOp{LcdOpKind::Nibble, 0x20};
    case 7: return LcdOp{LcdOpKind::WaitMs, kLcdSecondResetMs};
    case 8: return LcdOp{LcdOpKind::Command, kFourBitTwoLines};
    case 9: return LcdOp{LcdOpKind::Command, kDisplayOn};
    case 10: return LcdOp{LcdOpKind::Command, kEntryIncrement};
    case 11: return LcdOp{LcdOpKind::Command, kSetCgram};
    case kGlyphsFrom + kGlyphSteps: return LcdOp{LcdOpKind::Command, kClear};
    default: return LcdOp{LcdOpKind::WaitMs, kLcdClearMs};
  }
}

// One cell: its address unless the controller's cursor stands there, then the character.
bool FeedCell(uint8_t row, uint8_t column, char c, LcdPut put) {
  const uint8_t address = static_cast<uint8_t>(LcdRowAddress(row) + column);
  if (Cursor != address) {
    if (!put(LcdOp{LcdOpKind::Command, static_cast<uint8_t>(kSetDdram | address)})) return false;
    Cursor = address;
  }
  if (!put(LcdOp{LcdOpKind::Data, static_cast<uint8_t>(c)})) return false;
  Shadow[row][column] = c;
  Cursor = static_cast<uint8_t>(address + 1);  // within a row; a row's end is never continued
  return true;
}

}  // namespace

uint8_t LcdRowAddress(uint8_t row) {
  static_assert(kMaxRows == 4, "four row addresses");
  return static_cast<uint8_t>((row & 1 ? 0x40 : 0x00) + (row & 2 ? 0x14 : 0x00));
}

void LcdBegin() {
  Step = 0;
  Cursor = kNoAddress;  // a clear homes it on the chip, not on every simulation of it
  LightShown = false;
  memset(Shadow, ' ', sizeof Shadow);
  ReachedLarge = false;
}

bool LcdFeedStart(LcdPut put) {
  for (; Step < kStartSteps; Step++) {
    if (!put(StartOp(Step))) return false;
  }
  return true;
}

bool LcdFeed(const Screen& screen, LcdPut put) {
  if (!LcdFeedStart(put)) return false;
  if (screen.light != LightShown) {
    if (!put(LcdOp{LcdOpKind::Light, screen.light})) return false;
    LightShown = screen.light;
  }
  // Over all the display has been written at, not only the size in use: after the setup
  // turned a 20x4 into a 16x2, what the larger screen left outside the smaller is blanked.
  if (ShownDisplaySize() == DisplaySize::k20x4) ReachedLarge = true;
  const uint8_t rows = ReachedLarge ? kMaxRows : Rows();
  const uint8_t columns = ReachedLarge ? kMaxColumns : Columns();
  for (uint8_t row = 0; row < rows; row++) {
    for (uint8_t column = 0; column < columns; column++) {
      const char c = row < Rows() && column < Columns() ? screen.cells[row][column] : ' ';
      if (Shadow[row][column] != c && !FeedCell(row, column, c, put)) return false;
    }
  }
  return true;
}

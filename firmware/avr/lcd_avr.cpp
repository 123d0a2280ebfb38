// The shield's HD44780 display, in 4-bit mode with RW tied to ground: the busy flag
// cannot be read, so every command waits the display's own time (37 us for most, 1.52 ms
// for clear and home). A shadow of what the display shows lets DisplayShow write only
// the characters that changed, so a new time or a scrolling title costs a few characters.
#include <avr/io.h>
#include <util/delay.h>

#include "logic/board_io.h"
#include "uno_shield.h"

namespace {

constexpr uint8_t kClear = 0x01;
constexpr uint8_t kEntryIncrement = 0x06;
constexpr uint8_t kDisplayOn = 0x0C;  // no cursor, no blink
constexpr uint8_t kFourBitTwoLines = 0x28;
constexpr uint8_t kSetCgram = 0x40;
constexpr uint8_t kSetDdram = 0x80;
constexpr uint8_t kRowAddress[kRows] = {0x00, 0x40};

char Shadow[kRows][kColumns];
bool LightOn = false;

void Pulse() {
  LCD_CONTROL_PORT |= _BV(LCD_E_BIT);
  _delay_us(1);
  LCD_CONTROL_PORT &= static_cast<uint8_t>(~_BV(LCD_E_BIT));
  _delay_us(1);
}

void Nibble(uint8_t nibble) {
  LCD_DATA_PORT = static_cast<uint8_t>((LCD_DATA_PORT & ~LCD_DATA_MASK) | ((nibble << LCD_DATA_SHIFT) & LCD_DATA_MASK));
  Pulse();
}

void Write(uint8_t value, bool data) {
  if (data) {
    LCD_CONTROL_PORT |= _BV(LCD_RS_BIT);
  } else {
    LCD_CONTROL_PORT &= static_cast<uint8_t>(~_BV(LCD_RS_BIT));
  }
  Nibble(value >> 4);
  Nibble(value & 0x0F);
  _delay_us(40);
}

void Command(uint8_t command) { Write(command, false); }

void DefineGlyphs() {
  Command(kSetCgram);
  for (uint8_t glyph = 0; glyph < kGlyphCount; glyph++) {
    for (uint8_t row = 0; row < kGlyphRows; row++) Write(FlashByte(&kGlyphBitmaps[glyph][row]), true);
  }
}

void SetLight(bool on) {
  if (on) {
    BACKLIGHT_PORT |= _BV(BACKLIGHT_BIT);
  } else {
    BACKLIGHT_PORT &= static_cast<uint8_t>(~_BV(BACKLIGHT_BIT));
  }
  LightOn = on;
}

}  // namespace

void DisplayStart() {
  LCD_CONTROL_DDR |= _BV(LCD_RS_BIT) | _BV(LCD_E_BIT);
  LCD_DATA_DDR |= LCD_DATA_MASK;
  BACKLIGHT_DDR |= _BV(BACKLIGHT_BIT);
  SetLight(true);
  // The power-on wait is the caller's; whatever mode the display was left in, three
  // times "8-bit" brings it to a known state, then "4-bit".
  LCD_CONTROL_PORT &= static_cast<uint8_t>(~_BV(LCD_RS_BIT));
  Nibble(0x03);
  _delay_us(4200);
  Nibble(0x03);
  _delay_us(150);
  Nibble(0x03);
  _delay_us(150);
  Nibble(0x02);
  _delay_us(150);
  Command(kFourBitTwoLines);
  Command(kDisplayOn);
  Command(kEntryIncrement);
  // Custom characters are defined once: redefining one later would change it wherever
  // it already stands on the display.
  DefineGlyphs();
  Command(kClear);
  _delay_us(1600);
  for (uint8_t row = 0; row < kRows; row++) {
    for (uint8_t column = 0; column < kColumns; column++) Shadow[row][column] = ' ';
  }
}

void DisplayShow(const Screen& screen) {
  if (screen.light != LightOn) SetLight(screen.light);
  for (uint8_t row = 0; row < kRows; row++) {
    bool addressed = false;  // the display's cursor is right after the last character written
    for (uint8_t column = 0; column < kColumns; column++) {
      const char c = screen.cells[row][column];
      if (Shadow[row][column] == c) {
        addressed = false;
        continue;
      }
      if (!addressed) Command(static_cast<uint8_t>(kSetDdram | (kRowAddress[row] + column)));
      Write(static_cast<uint8_t>(c), true);
      Shadow[row][column] = c;
      addressed = true;
    }
  }
}

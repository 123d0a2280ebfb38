// The shield's HD44780 display, in 4-bit mode with RW tied to ground: the busy flag
// cannot be read, so every instruction waits out its execution time at the slowest clock
// a compatible controller runs at. A shadow of what the display shows lets DisplayShow
// write only the characters that changed, so a new time or a scrolling title costs a few
// characters.
#include <avr/io.h>
#include <util/delay.h>

#include "../logic/board_io.h"
#include "../uno_shield.h"

namespace {

constexpr uint8_t kClear = 0x01;
constexpr uint8_t kEntryIncrement = 0x06;
constexpr uint8_t kDisplayOn = 0x0C;  // no cursor, no blink
constexpr uint8_t kFourBitTwoLines = 0x28;
constexpr uint8_t kSetCgram = 0x40;
constexpr uint8_t kSetDdram = 0x80;
constexpr uint8_t kRowAddress[kRows] = {0x00, 0x40};

// The HD44780 datasheet's times hold at its nominal 270 kHz oscillator; compatible
// controllers run as slow as 190 kHz, where every time is 270/190 as long. Each wait is
// the datasheet's figure so scaled, rounded up with a little to spare, and counts from
// the instruction's start (E falling on its second nibble).
constexpr uint32_t AtSlowestClock(uint32_t nominalUs) { return (nominalUs * 270 + 189) / 190; }
constexpr uint16_t kInstructionUs = 55;   // most instructions and data: 37 us, 53 at 190 kHz
constexpr uint16_t kClearUs = 2200;       // clear and home: 1.52 ms, 2.16 ms at 190 kHz
constexpr uint16_t kFirstResetUs = 6000;  // power-on, after the first "8-bit": 4.1 ms, 5.83 ms
constexpr uint16_t kSecondResetUs = 150;  // power-on, after the second: 100 us, 142 us
static_assert(kInstructionUs >= AtSlowestClock(37), "an instruction at 190 kHz");
static_assert(kClearUs >= AtSlowestClock(1520), "clear and home at 190 kHz");
static_assert(kFirstResetUs >= AtSlowestClock(4100), "the first power-on wait at 190 kHz");
static_assert(kSecondResetUs >= AtSlowestClock(100), "the second power-on wait at 190 kHz");

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
  _delay_us(kInstructionUs);
}

void Command(uint8_t command) { Write(command, false); }

void DefineGlyphs() {
  Command(kSetCgram);
  for (uint8_t glyph = 0; glyph < kGlyphCount; glyph++) {
    for (uint8_t row = 0; row < kGlyphRows; row++) Write(FlashByte(&kGlyphBitmaps[glyph][row]), true);
  }
}

// Never high (uno_shield.h): with the PORT bit 0, an input is on, an output is low, off.
void SetLight(bool on) {
  BACKLIGHT_PORT &= static_cast<uint8_t>(~_BV(BACKLIGHT_BIT));
  if (on) {
    BACKLIGHT_DDR &= static_cast<uint8_t>(~_BV(BACKLIGHT_BIT));
  } else {
    BACKLIGHT_DDR |= _BV(BACKLIGHT_BIT);
  }
  LightOn = on;
}

}  // namespace

void DisplayStart() {
  LCD_CONTROL_DDR |= _BV(LCD_RS_BIT) | _BV(LCD_E_BIT);
  LCD_DATA_DDR |= LCD_DATA_MASK;
  SetLight(true);
  // The power-on wait is the caller's; whatever mode the display was left in, three
  // times "8-bit" brings it to a known state, then "4-bit" (the datasheet's figure 24).
  LCD_CONTROL_PORT &= static_cast<uint8_t>(~_BV(LCD_RS_BIT));
  Nibble(0x03);
  _delay_us(kFirstResetUs);
  Nibble(0x03);
  _delay_us(kSecondResetUs);
  // The datasheet names no time after the third, nor after "4-bit": they wait as long
  // as the second, as common drivers do.
  Nibble(0x03);
  _delay_us(kSecondResetUs);
  Nibble(0x02);
  _delay_us(kSecondResetUs);
  Command(kFourBitTwoLines);
  Command(kDisplayOn);
  Command(kEntryIncrement);
  // Custom characters are defined once: redefining one later would change it wherever
  // it already stands on the display.
  DefineGlyphs();
  Command(kClear);
  _delay_us(kClearUs - kInstructionUs);  // Command waited the first part
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

// The shield's way to the HD44780: RS, E and D4 to D7 on the Uno's own pins, RW tied to
// ground. Each operation is written at once and waited out here, at the slowest clock a
// compatible controller runs at (about 60 us), but only kPinsSlice of them a turn of the
// main loop: a whole 16x2 redraw (32 characters, 2 addresses, 2 ms) goes in slices
// between reads of the line.
#include <avr/io.h>
#include <util/delay.h>

#include "display_avr.h"
#include "../uno_shield.h"

namespace {

uint8_t SliceLeft = 0;

void Pulse() {
  LCD_CONTROL_PORT |= _BV(LCD_E_BIT);
  _delay_us(1);
  LCD_CONTROL_PORT &= static_cast<uint8_t>(~_BV(LCD_E_BIT));
  _delay_us(1);
}

void Nibble(uint8_t high) {
  LCD_DATA_PORT = static_cast<uint8_t>((LCD_DATA_PORT & ~LCD_DATA_MASK) | ((high >> 4 << LCD_DATA_SHIFT) & LCD_DATA_MASK));
  Pulse();
}

void SetRs(bool data) {
  if (data) {
    LCD_CONTROL_PORT |= _BV(LCD_RS_BIT);
  } else {
    LCD_CONTROL_PORT &= static_cast<uint8_t>(~_BV(LCD_RS_BIT));
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
}

}  // namespace

void PinsStart() {
  LCD_CONTROL_DDR |= _BV(LCD_RS_BIT) | _BV(LCD_E_BIT);
  LCD_DATA_DDR |= LCD_DATA_MASK;
  SetLight(true);
}

void PinsSlice() { SliceLeft = kPinsSlice; }

bool PinsPut(const LcdOp& op) {
  if (SliceLeft == 0) return false;
  SliceLeft--;
  switch (op.kind) {
    case LcdOpKind::Nibble:
      SetRs(false);
      Nibble(op.value);
      break;
    case LcdOpKind::Command:
    case LcdOpKind::Data:
      SetRs(op.kind == LcdOpKind::Data);
      Nibble(op.value);
      Nibble(static_cast<uint8_t>(op.value << 4));
      _delay_us(kLcdInstructionUs);
      break;
    case LcdOpKind::WaitMs:
      for (uint8_t ms = 0; ms < op.value; ms++) _delay_ms(1);
      break;
    case LcdOpKind::Light: SetLight(op.value != 0); break;
  }
  return true;
}

// The HD44780 controller once, for every way of wiring it: its start-up sequence, its
// instructions, the rows' addresses for 16x2 and 20x4, and a shadow of what it shows, so
// that only the characters that changed are written. What it writes are operations; an
// I/O class moves them to the controller: the shield's pins (avr/lcd_pins_avr.cpp) at
// once, a PCF8574 backpack over I2C (avr/lcd_i2c_avr.cpp) from its interrupt, taking only
// as many as its queue holds, so that a whole redraw is written in slices.
//
// Timing: with RW tied to ground (the shield) or left alone (the backpack) there is no
// busy flag to read. Every wait is the datasheet's figure at its nominal 270 kHz scaled
// by 270/190, for compatible controllers that run at 190 kHz.
#pragma once
#include <stdint.h>

#include "screen.h"

enum class LcdOpKind : uint8_t {
  Nibble,   // the high nibble only, RS low: the start-up's "8-bit" steps
  Command,  // an instruction, RS low: kLcdInstructionUs after it
  Data,     // a character or a glyph row, RS high: kLcdInstructionUs after it
  WaitMs,   // nothing may reach the controller for `value` milliseconds
  Light,    // the backlight on (value 1) or off (0): no instruction
};
struct LcdOp {
  LcdOpKind kind;
  uint8_t value;
};

constexpr uint32_t AtSlowestClock(uint32_t nominalUs) { return (nominalUs * 270 + 189) / 190; }
constexpr uint16_t kLcdInstructionUs = 55;  // most instructions and data: 37 us, 53 at 190 kHz
static_assert(kLcdInstructionUs >= AtSlowestClock(37), "an instruction at 190 kHz");
// The start-up's waits, whole milliseconds: 4.1 ms after the first "8-bit" (5.83 ms at
// 190 kHz), 100 us after the second (142 us), and 1.52 ms after clear (2.16 ms).
constexpr uint8_t kLcdFirstResetMs = 6;
constexpr uint8_t kLcdSecondResetMs = 1;
constexpr uint8_t kLcdClearMs = 3;
static_assert(kLcdFirstResetMs * 1000u >= AtSlowestClock(4100), "the first power-on wait at 190 kHz");
static_assert(kLcdSecondResetMs * 1000u >= AtSlowestClock(100), "the second power-on wait at 190 kHz");
static_assert(kLcdClearMs * 1000u >= AtSlowestClock(1520), "clear at 190 kHz");

// The DDRAM address of a row's first column: 0x00, 0x40, 0x14, 0x54 (a 20x4's rows 2 and 3
// continue rows 0 and 1 in the controller's memory).
uint8_t LcdRowAddress(uint8_t row);

// Takes one operation; false when there is no room for it now (it is offered again).
using LcdPut = bool (*)(const LcdOp& op);

// The controller from its power-on state: the start-up sequence comes first, then a
// blank display with the glyphs defined.
void LcdBegin();
// Writes the start-up sequence, as far as `put` takes it; true when it is all written.
bool LcdFeedStart(LcdPut put);
// Writes what the display still lacks of `screen` (the start-up first), as far as `put`
// takes it; true when nothing is left.
bool LcdFeed(const Screen& screen, LcdPut put);

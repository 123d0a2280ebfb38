// The common I2C backpack of HD44780 displays: a PCF8574 (or PCF8574A) port expander whose
// eight outputs drive the controller's pins, wired P0 RS, P1 RW, P2 E, P3 the backlight
// (high is on), P4 to P7 D4 to D7. Every byte written to the expander sets all eight
// pins at once (at the acknowledge), so a nibble takes two bytes, E high and then low,
// and RS is set a byte ahead of E whenever it changes: it must be stable before E rises.
#pragma once
#include <stdint.h>

#include "lcd_core.h"

constexpr uint8_t kBackpackRs = 0x01;
constexpr uint8_t kBackpackRw = 0x02;  // kept low: the controller is only written
constexpr uint8_t kBackpackE = 0x04;
constexpr uint8_t kBackpackLight = 0x08;
constexpr uint8_t kBackpackDataShift = 4;

// The addresses a backpack answers at, most common first: a PCF8574 at 0x20 to 0x27
// (usually 0x27), a PCF8574A at 0x38 to 0x3F (usually 0x3F).
constexpr uint8_t kBackpackAddresses = 16;
uint8_t BackpackAddress(uint8_t i);

// The expander bytes of one operation, given the last byte the expander holds; returns
// how many (at most kBackpackMostBytes). A wait gives none: it is the sender's to keep.
constexpr uint8_t kBackpackMostBytes = 5;
uint8_t BackpackBytes(const LcdOp& op, uint8_t last, uint8_t (&out)[kBackpackMostBytes]);

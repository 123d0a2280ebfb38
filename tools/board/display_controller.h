// The one HD44780 of the panel, whatever drives it: its memory (hd44780_memory.h) and
// its own time (display_timing.h), fed with what it latches as E falls. The shield's
// pins (lcd_shield.*) and the I2C backpack's expander (i2c_backpack.*) each only move RS,
// RW, E and four data bits into it. A write that comes while the controller is still
// busy is a `display` fault, once per instruction.
#pragma once
#include <cstdint>

#include "board_faults.h"
#include "display_timing.h"
#include "hd44780_memory.h"

class DisplayController {
 public:
  explicit DisplayController(BoardFaults* faults) : faults_(faults) {}
  // The supply rises (the board's power-on; a reset of the chip does not power it down).
  void PowerOn(double atMs);
  // E fell with RW low: the controller takes RS and D4-D7.
  void Latch(bool rs, uint8_t nibble, double atMs);
  const Hd44780Memory& Memory() const { return memory_; }
  // The chip time of the last change of what the display may show.
  double LastChangeMs() const { return lastChangeMs_; }

 private:
  BoardFaults* faults_;
  Hd44780Memory memory_;
  DisplayTiming timing_;
  double lastChangeMs_ = 0;
};

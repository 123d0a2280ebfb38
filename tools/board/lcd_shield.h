// The 16x2 LCD keypad shield on the chip's pins: the HD44780 in 4-bit mode (RS on PB0,
// E on PB1, D4-D7 on PD4-PD7, RW tied to ground) feeding the board's one display
// controller (display_controller.h), the backlight on PB2 and the five keys on ADC0
// through their resistor ladder.
//
// PB2 an output driven high is a fault: on many of these shields it drives the backlight
// transistor's base with no resistor. The light is on while PB2 is an input (the
// shield's pull-up, or the chip's) and off while it is a low output.
#pragma once
#include "board_faults.h"
#include "display_controller.h"
#include "panel_keys.h"

struct avr_t;

class LcdShield {
 public:
  LcdShield();
  ~LcdShield();
  void Attach(avr_t* avr, const KeyLadder& ladder, BoardFaults* faults, DisplayController* display);
  void SetKey(PanelKey key);
  // The backlight: on unless PB2 is an output driven low.
  bool Light() const;

 private:
  struct Parts;
  Parts* parts_;
};

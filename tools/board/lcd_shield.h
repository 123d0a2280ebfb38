// The 16x2 LCD keypad shield on the chip's pins: the HD44780 in 4-bit mode (RS on PB0,
// E on PB1, D4-D7 on PD4-PD7, RW tied to ground), the backlight on PB2 (high is on)
// and the five keys on ADC0 through their resistor ladder.
#pragma once
#include "display_watch.h"
#include "panel_keys.h"

struct avr_t;

class LcdShield {
 public:
  LcdShield();
  ~LcdShield();
  void Attach(avr_t* avr);
  void SetKey(PanelKey key);
  // What a person sees now: the text (blank while the display is off) and the backlight.
  Screen Read() const;

 private:
  struct Parts;
  Parts* parts_;
};

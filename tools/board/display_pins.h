// The display's memory fed from the chip's pins, as the controller sees them: RS (PB0)
// and D4-D7 (PD4-PD7) latched as E (PB1) falls (hd44780_memory.h); the backlight is the
// shield's (lcd_shield.h). It keeps the chip time of the last change, so that a picture is taken of a display
// at rest.
#pragma once
#include <cstdint>

#include "hd44780_memory.h"

struct avr_t;
struct avr_irq_t;

class DisplayPins {
 public:
  void Attach(avr_t* avr);
  const Hd44780Memory& Memory() const { return memory_; }
  double LastChangeMs() const { return lastChangeMs_; }

 private:
  struct PinHook {
    DisplayPins* pins;
    int which;  // RS, E, then D4 to D7
  };
  static void OnPin(avr_irq_t* irq, uint32_t value, void* param);
  void Pin(int which, bool high);
  avr_t* avr_ = nullptr;
  PinHook hooks_[6] = {};
  Hd44780Memory memory_;
  bool rs_ = false;
  bool enable_ = false;
  uint8_t data_ = 0;  // D4-D7 as bits 0-3
  double lastChangeMs_ = 0;
};

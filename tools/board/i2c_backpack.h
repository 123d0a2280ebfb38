// The I2C display backpack: a PCF8574 whose port drives the display's RS, RW, E, the
// backlight's transistor and D4-D7, in the common wiring: P0 RS, P1 RW, P2 E, P3 the
// backlight (high is on), P4-P7 D4-D7. A fall of E with RW low is a write the controller
// latches; with RW high it is a read, which writes nothing (the busy flag and the
// address it would give back are not modelled: reads give the port's own levels).
#pragma once
#include <cstdint>

#include "display_controller.h"
#include "pcf8574.h"

constexpr uint8_t kBackpackRs = 1 << 0, kBackpackRw = 1 << 1, kBackpackE = 1 << 2, kBackpackLight = 1 << 3;
constexpr int kBackpackDataShift = 4;

class I2cBackpack {
 public:
  I2cBackpack(uint8_t address7, DisplayController& display, double cyclesPerMs);
  Pcf8574& Expander() { return expander_; }
  const Pcf8574& Expander() const { return expander_; }
  bool Light() const { return expander_.Fitted() && (expander_.Port() & kBackpackLight) != 0; }

 private:
  void PortChanged(uint8_t port, uint64_t cycle);
  DisplayController& display_;
  double cyclesPerMs_;
  Pcf8574 expander_;
  uint8_t last_ = 0xFF;
};

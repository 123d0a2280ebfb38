#include "i2c_backpack.h"

I2cBackpack::I2cBackpack(uint8_t address7, DisplayController& display, double cyclesPerMs)
    : display_(display),
      cyclesPerMs_(cyclesPerMs),
      expander_(address7, [this](uint8_t port, uint64_t cycle) { PortChanged(port, cycle); }) {}

void I2cBackpack::PortChanged(uint8_t port, uint64_t cycle) {
  const bool fell = (last_ & kBackpackE) && !(port & kBackpackE);
  // The controller latches RS and the data as they stood while E was high: the byte that
  // lowers E may not change them in the same write and be taken.
  const uint8_t held = last_;
  last_ = port;
  if (!fell || (held & kBackpackRw)) return;
  display_.Latch((held & kBackpackRs) != 0, static_cast<uint8_t>(held >> kBackpackDataShift),
                 static_cast<double>(cycle) / cyclesPerMs_);
}

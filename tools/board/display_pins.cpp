#include "display_pins.h"

#include "board_chip.h"
#include "simavr.h"

namespace {

// Which pin a notification is for: RS, E, then D4 to D7.
enum : int { kRs = 0, kEnable = 1, kData4 = 2 };

}  // namespace

void DisplayPins::Attach(avr_t* avr) {
  avr_ = avr;
  const struct {
    char port;
    int bit;
  } wires[6] = {{'B', 0}, {'B', 1}, {'D', 4}, {'D', 5}, {'D', 6}, {'D', 7}};
  for (int i = 0; i < 6; i++) {
    hooks_[i] = {this, i};
    avr_irq_t* irq = avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ(wires[i].port), wires[i].bit);
    avr_irq_register_notify(irq, OnPin, &hooks_[i]);
  }
}

void DisplayPins::OnPin(avr_irq_t*, uint32_t value, void* param) {
  const PinHook& hook = *static_cast<PinHook*>(param);
  hook.pins->Pin(hook.which, value != 0);
}

void DisplayPins::Pin(int which, bool high) {
  if (which == kRs) {
    rs_ = high;
  } else if (which >= kData4) {
    const uint8_t bit = static_cast<uint8_t>(1 << (which - kData4));
    data_ = static_cast<uint8_t>(high ? data_ | bit : data_ & ~bit);
  } else {
    const bool fell = enable_ && !high;
    enable_ = high;
    if (!fell) return;
    const uint32_t before = memory_.Changes();
    memory_.Latch(rs_, data_);
    if (memory_.Changes() != before) lastChangeMs_ = static_cast<double>(avr_->cycle) / kCyclesPerMs;
  }
}

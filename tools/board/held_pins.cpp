#include "held_pins.h"

#include "simavr.h"

namespace {

// PINx, DDRx, PORTx of ports B, C and D are three data addresses in a row.
uint16_t PinRegister(char port) { return static_cast<uint16_t>(0x23 + 3 * (port - 'B')); }

}  // namespace

bool HeldPins::Hold(avr_t* avr, char port, int bit, bool level, std::function<bool()> follow) {
  if (count_ >= 4 || port < 'B' || port > 'D' || bit < 0 || bit > 7) return false;
  avr_ = avr;
  Pin& p = pins_[count_++];
  p.port = port;
  p.bit = bit;
  p.level = level;
  p.irq = avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ(port), bit);
  p.pinRegister = PinRegister(port);
  p.follow = std::move(follow);
  if (p.irq == nullptr) return false;
  WrapRegister(static_cast<uint16_t>(p.pinRegister + 1));  // DDRx
  WrapRegister(static_cast<uint16_t>(p.pinRegister + 2));  // PORTx
  avr_raise_irq(p.irq, level ? 1 : 0);
  Put(p);
  return true;
}

void HeldPins::WrapRegister(uint16_t addr) {
  for (int i = 0; i < wrapped_; i++) {
    if (wraps_[i].addr == addr) return;
  }
  Wrap& w = wraps_[wrapped_++];
  auto& io = avr_->io[AVR_DATA_TO_IO(addr)];
  w = {this, addr, io.w.param, io.w.c};
  io.w.c = OnWrite;
  io.w.param = &w;
}

void HeldPins::OnWrite(avr_t* avr, uint16_t addr, uint8_t v, void* param) {
  Wrap& w = *static_cast<Wrap*>(param);
  HeldPins& h = *w.owner;
  // A notification the port would send a held pin with the value it already has is
  // filtered out by simavr: give the pin the port's value for the time of the write.
  for (int i = 0; i < h.count_; i++) {
    Pin& p = h.pins_[i];
    if (p.pinRegister + 1 != addr && p.pinRegister + 2 != addr) continue;
    const uint8_t port = p.pinRegister + 2 == addr ? v : avr->data[p.pinRegister + 2];
    p.irq->value = port >> p.bit & 1;
  }
  if (w.write != nullptr) {
    w.write(avr, addr, v, w.param);
  } else {
    avr->data[addr] = v;
  }
  for (int i = 0; i < h.count_; i++) h.Put(h.pins_[i]);
}

void HeldPins::Set(char port, int bit, bool level) {
  for (int i = 0; i < count_; i++) {
    Pin& p = pins_[i];
    if (p.port != port || p.bit != bit) continue;
    p.level = level;
    avr_raise_irq(p.irq, level ? 1 : 0);
    Put(p);
  }
}

// The level in the pin register and in the pin's notification, without an edge.
void HeldPins::Put(Pin& p) {
  if (p.follow) p.level = p.follow();
  const uint8_t mask = static_cast<uint8_t>(1 << p.bit);
  uint8_t& pin = avr_->data[p.pinRegister];
  pin = static_cast<uint8_t>(p.level ? pin | mask : pin & ~mask);
  p.irq->value = p.level ? 1 : 0;
}

void HeldPins::Restore() {
  for (int i = 0; i < count_; i++) Put(pins_[i]);
}

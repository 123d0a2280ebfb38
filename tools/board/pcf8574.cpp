#include "pcf8574.h"

bool ExpanderAddress(uint8_t address7) {
  return (address7 >= 0x20 && address7 <= 0x27) || (address7 >= 0x38 && address7 <= 0x3F);
}

bool Pcf8574::Address(uint8_t address7, bool, uint64_t) {
  selected_ = fitted_ && address7 == address_;
  return selected_;
}

bool Pcf8574::Write(uint8_t byte, uint64_t cycle) {
  if (!selected_) return false;
  written_++;
  const bool changed = byte != port_;
  port_ = byte;
  if (changed) changed_(port_, cycle);
  return true;
}

// A pin written high is a weak pull-up that anything outside may pull low; nothing on
// the backpack does while the display is written (its RW is driven low).
uint8_t Pcf8574::Read(uint64_t) { return selected_ ? port_ : 0xFF; }

#include "display_timing.h"

namespace {

constexpr uint8_t kClear = 0x01;
constexpr uint8_t kHomeMask = 0xFE;  // 0x02 and 0x03 are both "home"
constexpr uint8_t kHome = 0x02;
constexpr uint8_t kFunctionSetMask = 0xE0;
constexpr uint8_t kFunctionSet = 0x20;
constexpr uint8_t kEightBit = 0x10;  // DL

}  // namespace

void DisplayTiming::PowerOn(double atUs) {
  fourBit_ = false;
  highHalf_ = false;
  functionSets_ = 0;
  busyFromUs_ = atUs;
  busyUs_ = kPowerRiseUs;
}

EarlyWrite DisplayTiming::Latch(bool rs, uint8_t nibble, double atUs) {
  EarlyWrite e;
  e.afterUs = atUs - busyFromUs_;
  e.neededUs = busyUs_;
  e.early = e.afterUs < busyUs_;
  nibble &= 0x0F;
  if (!fourBit_) {
    Execute(rs, static_cast<uint8_t>(nibble << 4), atUs);
  } else if (!highHalf_) {
    high_ = nibble;
    highHalf_ = true;
    highEarly_ = e.early;
  } else {
    highHalf_ = false;
    if (highEarly_) e.early = false;
    Execute(rs, static_cast<uint8_t>(high_ << 4 | nibble), atUs);
  }
  return e;
}

void DisplayTiming::Execute(bool rs, uint8_t value, double atUs) {
  busyFromUs_ = atUs;
  busyUs_ = kInstructionUs;
  if (rs) return;
  if ((value & kFunctionSetMask) == kFunctionSet) {
    fourBit_ = (value & kEightBit) == 0;
    functionSets_++;
    if (functionSets_ == 1) busyUs_ = kFirstSetUs;
    if (functionSets_ == 2) busyUs_ = kSecondSetUs;
  } else if (value == kClear || (value & kHomeMask) == kHome) {
    busyUs_ = kClearHomeUs;
  }
}

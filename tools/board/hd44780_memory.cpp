#include "hd44780_memory.h"

namespace {

constexpr uint8_t kClear = 0x01, kHome = 0x02, kEntryMode = 0x04, kDisplayControl = 0x08, kShift = 0x10,
                  kFunctionSet = 0x20, kSetCgram = 0x40, kSetDdram = 0x80;
constexpr uint8_t kBlank = 0x20;

// The instruction is named by its highest set bit.
uint8_t Kind(uint8_t value) {
  uint8_t kind = kSetDdram;
  while (kind != 0 && (value & kind) == 0) kind >>= 1;
  return kind;
}

}  // namespace

void Hd44780Memory::PowerOn() {
  ddram_.fill(kBlank);
  cgram_.fill(0);
  address_ = 0;
  inCgram_ = false;
  increment_ = true;
  shiftOnWrite_ = false;
  shift_ = 0;
  displayOn_ = false;
  twoLines_ = false;
  fourBit_ = false;
  highNibbleNext_ = true;
}

void Hd44780Memory::Latch(bool rs, uint8_t nibble) {
  nibble &= 0x0F;
  if (!fourBit_) {
    Execute(rs, static_cast<uint8_t>(nibble << 4));
    return;
  }
  if (highNibbleNext_) {
    highNibble_ = nibble;
    highNibbleNext_ = false;
    return;
  }
  highNibbleNext_ = true;
  Execute(rs, static_cast<uint8_t>(highNibble_ << 4 | nibble));
}

void Hd44780Memory::Execute(bool rs, uint8_t value) {
  executed_++;
  if (rs) {
    Data(value);
  } else {
    Instruction(value);
  }
}

void Hd44780Memory::Instruction(uint8_t value) {
  switch (Kind(value)) {
    case kSetDdram:
      address_ = value & 0x7F;
      inCgram_ = false;
      break;
    case kSetCgram:
      address_ = value & 0x3F;
      inCgram_ = true;
      break;
    case kFunctionSet:
      fourBit_ = (value & 0x10) == 0;
      twoLines_ = (value & 0x08) != 0;
      highNibbleNext_ = true;
      break;
    case kShift:
      if (value & 0x08) {
        Shift((value & 0x04) != 0);
      } else {
        MoveCursor((value & 0x04) != 0);
      }
      break;
    case kDisplayControl:
      if (displayOn_ != ((value & 0x04) != 0)) changes_++;
      displayOn_ = (value & 0x04) != 0;
      break;
    case kEntryMode:
      increment_ = (value & 0x02) != 0;
      shiftOnWrite_ = (value & 0x01) != 0;
      break;
    case kHome:
      address_ = 0;
      inCgram_ = false;
      shift_ = 0;
      changes_++;
      break;
    case kClear:
      ddram_.fill(kBlank);
      address_ = 0;
      inCgram_ = false;
      increment_ = true;  // the datasheet: clear sets I/D, and leaves S as it was
      shift_ = 0;
      changes_++;
      break;
    default:
      break;  // 0x00: no instruction
  }
}

void Hd44780Memory::Data(uint8_t value) {
  changes_++;
  if (inCgram_) {
    cgram_[address_ & 0x3F] = value;
    address_ = static_cast<uint8_t>((address_ + (increment_ ? 1 : -1)) & 0x3F);
    return;
  }
  const int index = DdramIndex(address_);
  if (index < 0) {
    strays_++;
  } else {
    ddram_[index] = value;
  }
  MoveCursor(increment_);
  // With S set the display moves with each write so that the cursor seems to stay:
  // left while the address goes up.
  if (shiftOnWrite_) Shift(!increment_);
}

// The address counter steps through the memory's addresses only: in 2-line mode from
// the first line's end (0x27) to the second's start (0x40), and from the second's end
// (0x67) back to 0; in 1-line mode from 0x4F to 0.
void Hd44780Memory::MoveCursor(bool right) {
  if (inCgram_) {
    address_ = static_cast<uint8_t>((address_ + (right ? 1 : -1)) & 0x3F);
    return;
  }
  const uint8_t lastFirst = twoLines_ ? kDdramLineLength - 1 : kDdramBytes - 1;
  const uint8_t lastSecond = kDdramSecondLine + kDdramLineLength - 1;
  if (right) {
    if (!twoLines_ && address_ >= lastFirst) {
      address_ = 0;
    } else if (twoLines_ && address_ == lastFirst) {
      address_ = kDdramSecondLine;
    } else if (twoLines_ && address_ >= lastSecond) {
      address_ = 0;
    } else {
      address_++;
    }
    return;
  }
  if (address_ == 0) {
    address_ = twoLines_ ? lastSecond : lastFirst;
  } else if (twoLines_ && address_ == kDdramSecondLine) {
    address_ = lastFirst;
  } else {
    address_--;
  }
}

// The whole display moves one place; right moves the text right, so that the first
// column shows the address before.
void Hd44780Memory::Shift(bool right) {
  shift_ = (shift_ + (right ? kDdramLineLength - 1 : 1)) % kDdramLineLength;
  changes_++;
}

int Hd44780Memory::DdramIndex(uint8_t address) const {
  if (!twoLines_) return address < kDdramBytes ? address : -1;
  if (address < kDdramLineLength) return address;
  if (address >= kDdramSecondLine && address < kDdramSecondLine + kDdramLineLength) {
    return kDdramLineLength + address - kDdramSecondLine;
  }
  return -1;
}

uint8_t Hd44780Memory::Shown(int row, int column, int columns) const {
  if (row < 0 || row > 3 || column < 0 || column >= columns || columns > kDdramLineLength) return kBlank;
  const int along = (row >> 1) * columns + column;
  if (!twoLines_) {
    // One line of 80 characters; a 16x2 panel shows its first 16 (with the shift) on
    // the first row and nothing on the second.
    return (row & 1) == 0 ? ddram_[(along + shift_) % kDdramBytes] : kBlank;
  }
  return ddram_[(row & 1) * kDdramLineLength + (along + shift_) % kDdramLineLength];
}

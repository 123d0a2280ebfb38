#include "key_ladder.h"

#include "board_io.h"
#include "../uno_shield.h"

namespace {

struct Ladder {
  uint16_t below[kLadderKeys];  // below[i]: the first reading above key i's
};

// Made where it is used: a constant object would take RAM as well as flash.
constexpr Ladder DefaultLadder() { return Ladder{{kBelowUp, kBelowDown, kBelowLeft, kBelowSelect, kBelowNoKey}}; }

Ladder InUse = DefaultLadder();
bool Calibrated = false;

// The record in EEPROM: a layout byte, the thresholds (low byte first), a checksum.
constexpr uint16_t kRecordAt = 0;
constexpr uint8_t kRecordLayout = 0x4B;
constexpr uint8_t kRecordLength = 2 + 2 * kLadderKeys;
static_assert(kRecordLength <= kStoreWriteRoom, "the record goes in one write");

// Each byte rotates what came before, so that swapped or shifted bytes change it too.
uint8_t Checksum(const uint8_t* bytes, uint8_t length) {
  uint8_t sum = 0xA5;
  for (uint8_t i = 0; i < length; i++) sum = static_cast<uint8_t>(((sum << 1) | (sum >> 7)) ^ bytes[i]);
  return sum;
}

// Every key has room around its reading, and a reading of no key stays no key. One
// return statement each: the Arduino IDE compiles C++11, whose constexpr has no loops.
constexpr bool RisesFrom(const Ladder& l, uint8_t i) {
  return i >= kLadderKeys || (l.below[i] >= l.below[i - 1] + kMinKeyGap && RisesFrom(l, i + 1));
}
constexpr bool Sane(const Ladder& l) {
  return l.below[0] >= kMinKeyGap / 2 && l.below[kLadderKeys - 1] <= kAdcFullScale - kMinKeyGap / 2 &&
         RisesFrom(l, 1);
}
static_assert(Sane(DefaultLadder()), "the defaults pass the check a calibration must pass");

void Store(const Ladder& l, uint8_t layout) {
  uint8_t record[kRecordLength];
  record[0] = layout;
  for (uint8_t i = 0; i < kLadderKeys; i++) {
    record[1 + 2 * i] = static_cast<uint8_t>(l.below[i]);
    record[2 + 2 * i] = static_cast<uint8_t>(l.below[i] >> 8);
  }
  record[kRecordLength - 1] = Checksum(record, kRecordLength - 1);
  StoreWrite(kRecordAt, record, kRecordLength);
}

}  // namespace

Key KeyFromReading(uint16_t reading) {
  for (uint8_t i = 0; i < kLadderKeys; i++) {
    if (reading < InUse.below[i]) return static_cast<Key>(static_cast<uint8_t>(Key::Right) + i);
  }
  return Key::None;
}

void LadderLoad() {
  uint8_t record[kRecordLength];
  StoreRead(kRecordAt, record, kRecordLength);
  Ladder stored;
  for (uint8_t i = 0; i < kLadderKeys; i++) {
    stored.below[i] = static_cast<uint16_t>(record[1 + 2 * i] | record[2 + 2 * i] << 8);
  }
  Calibrated =
      record[0] == kRecordLayout && record[kRecordLength - 1] == Checksum(record, kRecordLength - 1) && Sane(stored);
  InUse = Calibrated ? stored : DefaultLadder();
}

bool LadderCalibrated() { return Calibrated; }

bool LadderSet(const uint16_t (&readings)[kLadderKeys]) {
  Ladder derived;
  for (uint8_t i = 0; i < kLadderKeys; i++) {
    const uint16_t above = i + 1 < kLadderKeys ? readings[i + 1] : kAdcFullScale;
    if (readings[i] + kMinKeyGap > above) return false;  // too close, or out of order
    derived.below[i] = static_cast<uint16_t>((readings[i] + above) / 2);
  }
  if (!Sane(derived)) return false;
  Store(derived, kRecordLayout);
  InUse = derived;
  Calibrated = true;
  return true;
}

void LadderReset() {
  Store(DefaultLadder(), static_cast<uint8_t>(~kRecordLayout));  // a layout no load takes
  InUse = DefaultLadder();
  Calibrated = false;
}

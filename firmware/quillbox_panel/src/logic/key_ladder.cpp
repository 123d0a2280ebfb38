#include "key_ladder.h"

#include "stored_record.h"
#include "../uno_shield.h"

namespace {

struct Ladder {
  uint16_t below[kLadderKeys];  // below[i]: the first reading above key i's
};

// Made where it is used: a constant object would take RAM as well as flash.
constexpr Ladder DefaultLadder() { return Ladder{{kBelowUp, kBelowDown, kBelowLeft, kBelowSelect, kBelowNoKey}}; }

Ladder InUse = DefaultLadder();
bool Calibrated = false;

// The record in EEPROM (stored_record.h): the thresholds, low byte first.
constexpr uint8_t kRecordFormat = 0x4C;  // 0x4B was the layout at address 0, with a weaker sum
constexpr uint8_t kPayloadLength = 2 * kLadderKeys;
static_assert(kPayloadLength <= kRecordPayloadRoom, "the thresholds fit a record");

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

void Store(const Ladder& l) {
  uint8_t payload[kPayloadLength];
  for (uint8_t i = 0; i < kLadderKeys; i++) {
    payload[2 * i] = static_cast<uint8_t>(l.below[i]);
    payload[2 * i + 1] = static_cast<uint8_t>(l.below[i] >> 8);
  }
  RecordWrite(kKeyLadderRecordAt, kRecordFormat, payload, kPayloadLength);
}

}  // namespace

Key KeyFromReading(uint16_t reading) {
  for (uint8_t i = 0; i < kLadderKeys; i++) {
    if (reading < InUse.below[i]) return static_cast<Key>(static_cast<uint8_t>(Key::Right) + i);
  }
  return Key::None;
}

void LadderLoad() {
  InUse = DefaultLadder();
  Calibrated = false;
  uint8_t payload[kPayloadLength];
  if (!RecordRead(kKeyLadderRecordAt, kRecordFormat, payload, kPayloadLength)) return;
  Ladder stored;
  for (uint8_t i = 0; i < kLadderKeys; i++) {
    stored.below[i] = static_cast<uint16_t>(payload[2 * i] | payload[2 * i + 1] << 8);
  }
  if (!Sane(stored)) return;  // a record written by a faulty firmware, or a CRC that happened to hold
  InUse = stored;
  Calibrated = true;
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
  Store(derived);
  InUse = derived;
  Calibrated = true;
  return true;
}

void LadderReset() {
  RecordErase(kKeyLadderRecordAt);
  InUse = DefaultLadder();
  Calibrated = false;
}

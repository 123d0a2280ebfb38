// The shield's five keys, from the voltage on A0 to the events the screens react to, and
// the thresholds that tell them apart: the defaults, or a calibration kept in EEPROM.
#include "logic/keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fake_board.h"
#include "logic/key_ladder.h"
#include "logic/stored_record.h"

namespace {

using Readings = uint16_t[kLadderKeys];

// A fresh board: a blank EEPROM, and the panel's start-up load of it.
void FreshBoard() {
  ResetBoard();
  LadderLoad();
}

// The defaults keep the 26 counts to spare that the note promises on every published
// shield: a reading may drift 25 counts either way, and the next key's first reading is
// 26 away at the closest (Down at 334, Left from 360). A calibration keeps half the gap
// between its closest keys.
TEST(Keys, EveryPublishedShieldDecodesWithTheMarginPromised) {
  struct Case {
    const char* shield;
    Readings readings;  // Right, Up, Down, Left, Select
    bool calibrated;
    int margin;
  } cases[] = {
      {"the simulated board's", {0, 143, 327, 511, 736}, false, 26},
      {"a revision read as 0/144/329/504/741", {0, 144, 329, 504, 741}, false, 26},
      {"Left was read as Down at 407", {0, 98, 254, 407, 637}, false, 26},
      {"Left as Down, Select as Left, Right above 0", {19, 113, 253, 387, 605}, false, 26},
      {"a revision read as 0/131/308/483/725", {0, 131, 308, 483, 725}, false, 26},
      {"Down at 334, the closest to a threshold", {0, 146, 334, 511, 745}, false, 26},
      {"another maker's ladder, once calibrated: Left and Select 51 apart", {0, 512, 683, 768, 819}, true, 25},  // 793 is Select
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shield);
    FreshBoard();
    if (c.calibrated) ASSERT_TRUE(LadderSet(c.readings));
    StoreFinish();
    LadderLoad();  // as stored
    for (uint8_t k = 0; k < kLadderKeys; k++) {
      const Key key = static_cast<Key>(static_cast<uint8_t>(Key::Right) + k);
      for (int d = 1 - c.margin; d < c.margin; d++) {
        const auto reading = static_cast<uint16_t>(std::clamp(c.readings[k] + d, 0, 1023));
        EXPECT_EQ(KeyFromReading(reading), key) << reading;
      }
    }
    for (uint16_t reading = 1023 - 25; reading <= 1023; reading++) EXPECT_EQ(KeyFromReading(reading), Key::None);
  }
}

// The record: the format byte, the thresholds low byte first, the CRC.
uint8_t& RecordByte(int i) { return Board.eeprom[kKeyLadderRecordAt + i]; }

TEST(Keys, ACalibrationIsUsedOnlyWhileItsRecordHolds) {
  const Readings other = {0, 512, 683, 768, 819};
  struct Case {
    const char* what;
    void (*after)();  // done to the board between the calibration and the next start-up
    bool calibrated;
  } cases[] = {
      {"kept across a restart", [] {}, true},
      {"a threshold's byte changed", [] { RecordByte(3) ^= 0x01; }, false},
      {"the CRC changed", [] { RecordByte(12) ^= 0x80; }, false},
      {"the format byte changed", [] { RecordByte(0) ^= 0x01; }, false},
      {"two thresholds' low bytes swapped", [] { std::swap(RecordByte(1), RecordByte(3)); }, false},
      // the same change 8 bytes apart cancelled out in the rotate-and-XOR sum of before
      {"bytes 1 and 9 changed alike", [] {
         RecordByte(1) ^= 0x04;
         RecordByte(9) ^= 0x04;
       }, false},
      {"a threshold's two bytes changed", [] {
         RecordByte(5) ^= 0x21;
         RecordByte(6) ^= 0x01;
       }, false},
      {"an erased EEPROM", [] { std::fill(Board.eeprom.begin(), Board.eeprom.end(), 0xFF); }, false},
      {"a zeroed EEPROM", [] { std::fill(Board.eeprom.begin(), Board.eeprom.end(), 0x00); }, false},
      {"reset to the defaults", [] { LadderReset(); }, false},
      {"thresholds whose CRC holds but which fall",
       [] {
         const uint8_t falling[2 * kLadderKeys] = {0, 1, 0, 2, 0, 3, 0, 2, 0, 3};  // 256, 512, 768, 512, 768
         RecordWrite(kKeyLadderRecordAt, RecordByte(0), falling, sizeof falling);
       },
       false},
      {"thresholds whose CRC holds but with no room below 1023",
       [] {
         const uint8_t high[2 * kLadderKeys] = {0, 1, 0, 2, 0, 3, 0xC0, 3, 0xFA, 3};  // ... 960, 1018
         RecordWrite(kKeyLadderRecordAt, RecordByte(0), high, sizeof high);
       },
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FreshBoard();
    ASSERT_TRUE(LadderSet(other));
    StoreFinish();
    c.after();
    LadderLoad();
    EXPECT_EQ(LadderCalibrated(), c.calibrated);
    // 683 is Down on the calibrated ladder, Select under the defaults.
    EXPECT_EQ(KeyFromReading(683), c.calibrated ? Key::Down : Key::Select);
  }
}

TEST(Keys, ReadingsThatMakeNoSaneLadderAreRefusedAndNothingIsStored) {
  struct Case {
    const char* what;
    Readings readings;
  } cases[] = {
      {"two keys 19 counts apart", {0, 512, 683, 702, 819}},
      {"pressed out of order", {0, 683, 512, 768, 819}},
      {"one key pressed twice", {0, 512, 512, 768, 819}},
      {"Select too near no key", {0, 512, 683, 768, 1004}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FreshBoard();
    EXPECT_FALSE(LadderSet(c.readings));
    EXPECT_EQ(Board.storeWrites, 0);
    EXPECT_FALSE(LadderCalibrated());
    EXPECT_EQ(KeyFromReading(511), Key::Left) << "the defaults still";
  }
}

// Readings every 5 ms: each step holds a reading for a while. The events, as text.
std::string Press(const std::vector<std::pair<uint16_t, int>>& steps) {
  FreshBoard();
  KeyFilter filter;
  KeyFilterReset(&filter);
  std::string events;
  uint32_t now = 0;
  for (const auto& [reading, ms] : steps) {
    for (int t = 0; t < ms; t += kKeySampleMs, now += kKeySampleMs) {
      KeyEvent e;
      if (!KeySample(&filter, reading, now, &e)) continue;
      static const char* const kKeys[] = {"none", "right", "up", "down", "left", "select"};
      static const char* const kActions[] = {"down", "short", "long", "repeat"};
      events += std::string(kKeys[static_cast<int>(e.key)]) + " " + kActions[static_cast<int>(e.action)] + " " +
                std::to_string(now) + "; ";
    }
  }
  return events;
}

TEST(Keys, PressesAreDebouncedAndToldShortFromLong) {
  constexpr uint16_t kNone = 1023, kUp = 143, kDown = 327, kRight = 0, kSelect = 736;
  struct Case {
    const char* what;
    std::vector<std::pair<uint16_t, int>> steps;
    std::string events;
  } cases[] = {
      {"a short press: down at once, short on release",
       {{kNone, 50}, {kUp, 150}, {kNone, 50}},
       "up down 60; up short 210; "},
      {"a long press: long while held, then repeats, nothing on release",
       {{kNone, 50}, {kSelect, 1100}, {kNone, 50}},
       "select down 60; select long 760; select repeat 940; select repeat 1120; "},
      // Right (0 V) coming up passes Up's and Down's voltages for a sample each
      {"readings passing through other keys count for nothing",
       {{kNone, 50}, {kRight, 100}, {kUp, 5}, {kDown, 5}, {kNone, 50}},
       "right down 60; right short 170; "},
      {"a touch shorter than the debounce is no press", {{kNone, 50}, {kUp, 10}, {kNone, 50}}, ""},
      // rolling from one key to the next: the first comes up, the next goes down after it
      {"one key straight after another",
       {{kNone, 50}, {kUp, 100}, {kDown, 100}, {kNone, 50}},
       "up down 60; up short 160; down down 165; down short 260; "},
  };
  for (const Case& c : cases) EXPECT_EQ(Press(c.steps), c.events) << c.what;
}

}  // namespace

// The shield's five keys, from the voltage on A0 to the events the screens react to, and
// the thresholds that tell them apart: the defaults, or a calibration kept in EEPROM.
#include "logic/keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fake_board.h"
#include "logic/key_ladder.h"

namespace {

using Readings = uint16_t[kLadderKeys];

// A fresh board: a blank EEPROM, and the panel's start-up load of it.
void FreshBoard() {
  ResetBoard();
  LadderLoad();
}

TEST(Keys, EveryPublishedShieldDecodesWithinTenCountsOfItsReadings) {
  struct Case {
    const char* shield;
    Readings readings;  // Right, Up, Down, Left, Select
    bool calibrated;
  } cases[] = {
      {"the simulated board's", {0, 143, 327, 511, 736}, false},
      {"a revision read as 0/144/329/504/741", {0, 144, 329, 504, 741}, false},
      {"Left was read as Down at 407", {0, 98, 254, 407, 637}, false},
      {"Left as Down, Select as Left, Right above 0", {19, 113, 253, 387, 605}, false},
      {"a revision read as 0/131/308/483/725", {0, 131, 308, 483, 725}, false},
      {"Down at 334, the closest to a threshold", {0, 146, 334, 511, 745}, false},
      {"another maker's ladder, once calibrated", {0, 512, 683, 768, 819}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shield);
    FreshBoard();
    if (c.calibrated) ASSERT_TRUE(LadderSet(c.readings));
    for (uint8_t k = 0; k < kLadderKeys; k++) {
      const Key key = static_cast<Key>(static_cast<uint8_t>(Key::Right) + k);
      for (int d = -10; d <= 10; d++) {
        const auto reading = static_cast<uint16_t>(std::clamp(c.readings[k] + d, 0, 1023));
        EXPECT_EQ(KeyFromReading(reading), key) << reading;
      }
    }
    for (uint16_t reading = 1013; reading <= 1023; reading++) EXPECT_EQ(KeyFromReading(reading), Key::None);
  }
}

TEST(Keys, ACalibrationIsUsedOnlyWhileItsRecordHolds) {
  const Readings other = {0, 512, 683, 768, 819};
  struct Case {
    const char* what;
    void (*after)();  // done to the board between the calibration and the next start-up
    bool calibrated;
  } cases[] = {
      {"kept across a restart", [] {}, true},
      {"a threshold's byte changed: the checksum no longer holds", [] { Board.eeprom[3] ^= 0x01; }, false},
      {"the checksum changed", [] { Board.eeprom[11] ^= 0x80; }, false},
      {"the layout byte changed", [] { Board.eeprom[0] ^= 0x01; }, false},
      {"an erased EEPROM", [] { std::fill(Board.eeprom.begin(), Board.eeprom.end(), 0xFF); }, false},
      {"a zeroed EEPROM", [] { std::fill(Board.eeprom.begin(), Board.eeprom.end(), 0x00); }, false},
      {"reset to the defaults", [] { LadderReset(); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FreshBoard();
    ASSERT_TRUE(LadderSet(other));
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

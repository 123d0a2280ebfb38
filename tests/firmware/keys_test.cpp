// The shield's five keys, from the voltage on A0 to the events the screens react to.
#include "logic/keys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(Keys, AReadingIsTheKeyWhoseVoltageIsNearest) {
  // The ladder: Right 0 V, Up 0.7 V, Down 1.6 V, Left 2.5 V, Select 3.6 V, no key 5 V;
  // on the 0..1023 scale 0, 143, 327, 511, 736, 1023, with the thresholds half-way.
  struct Case {
    uint16_t reading;
    Key key;
  } cases[] = {
      {0, Key::Right},    {70, Key::Right},   {71, Key::Up},    {143, Key::Up},    {234, Key::Up},   {235, Key::Down},
      {327, Key::Down},   {418, Key::Down},   {419, Key::Left}, {511, Key::Left},  {622, Key::Left}, {623, Key::Select},
      {736, Key::Select}, {878, Key::Select}, {879, Key::None}, {1023, Key::None},
  };
  for (const Case& c : cases) EXPECT_EQ(KeyFromReading(c.reading), c.key) << c.reading;
}

// Readings every 5 ms: each step holds a reading for a while. The events, as text.
std::string Press(const std::vector<std::pair<uint16_t, int>>& steps) {
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

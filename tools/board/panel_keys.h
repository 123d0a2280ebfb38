// The shield's five keys: their names in scripts, and the reading each gives on A0
// through the shield's resistor ladder (1023, the 5 V rail, with no key down). Shields
// differ by maker and revision: the board takes any ladder of five readings, Right, Up,
// Down, Left and Select, such as the published ones (see README).
#pragma once
#include <array>
#include <cstdint>
#include <string>

enum class PanelKey { None, Right, Up, Down, Left, Select };

constexpr uint16_t kNoKeyReading = 1023;
constexpr uint32_t kAdcReferenceMv = 5000;  // AVCC

struct KeyLadder {
  std::array<uint16_t, 5> readings;  // Right, Up, Down, Left, Select
};

// The shield the board was first measured on: 0, 700, 1600, 2500, 3600 mV.
constexpr KeyLadder kCommonLadder = {{0, 143, 327, 511, 736}};

const char* KeyName(PanelKey key);  // "right" ... "select"; "none"
uint16_t KeyReading(const KeyLadder& ladder, PanelKey key);
// The voltage on A0 that reads `reading` against the 5 V reference: the least that does,
// as the ADC truncates.
uint32_t ReadingMillivolts(uint16_t reading);
// false for anything but the five names (letter case as written in scripts: lower).
bool KeyFromName(const std::string& name, PanelKey* key);
// "R/U/D/L/S", five readings rising from Right to Select, each below 1023.
bool LadderFromText(const std::string& text, KeyLadder* ladder);
std::string LadderText(const KeyLadder& ladder);

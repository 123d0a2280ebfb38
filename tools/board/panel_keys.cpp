#include "panel_keys.h"

#include <cstdio>

namespace {

constexpr const char* kNames[] = {"none", "right", "up", "down", "left", "select"};

}  // namespace

const char* KeyName(PanelKey key) { return kNames[static_cast<int>(key)]; }

uint16_t KeyReading(const KeyLadder& ladder, PanelKey key) {
  if (key == PanelKey::None) return kNoKeyReading;
  return ladder.readings[static_cast<int>(key) - 1];
}

uint32_t ReadingMillivolts(uint16_t reading) {
  return (static_cast<uint32_t>(reading) * kAdcReferenceMv + kNoKeyReading - 1) / kNoKeyReading;
}

bool KeyFromName(const std::string& name, PanelKey* key) {
  for (int i = 1; i <= 5; i++) {
    if (name == kNames[i]) {
      *key = static_cast<PanelKey>(i);
      return true;
    }
  }
  return false;
}

bool LadderFromText(const std::string& text, KeyLadder* ladder) {
  unsigned r[5];
  char end = 0;
  if (std::sscanf(text.c_str(), "%u/%u/%u/%u/%u%c", &r[0], &r[1], &r[2], &r[3], &r[4], &end) != 5) return false;
  for (int i = 0; i < 5; i++) {
    if (r[i] >= kNoKeyReading || (i > 0 && r[i] <= r[i - 1])) return false;
    ladder->readings[i] = static_cast<uint16_t>(r[i]);
  }
  return true;
}

std::string LadderText(const KeyLadder& ladder) {
  const auto& r = ladder.readings;
  char text[32];
  std::snprintf(text, sizeof text, "%u/%u/%u/%u/%u", r[0], r[1], r[2], r[3], r[4]);
  return text;
}

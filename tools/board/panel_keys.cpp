#include "panel_keys.h"

namespace {

struct KeyRow {
  PanelKey key;
  const char* name;
  uint32_t millivolts;
};

// Measured on the common shield: each key pulls A0 to its tap of the ladder.
constexpr KeyRow kKeys[] = {
    {PanelKey::None, "none", 5000},  {PanelKey::Right, "right", 0},   {PanelKey::Up, "up", 700},
    {PanelKey::Down, "down", 1600},  {PanelKey::Left, "left", 2500},  {PanelKey::Select, "select", 3600},
};

const KeyRow& RowOf(PanelKey key) {
  for (const KeyRow& row : kKeys) {
    if (row.key == key) return row;
  }
  return kKeys[0];
}

}  // namespace

const char* KeyName(PanelKey key) { return RowOf(key).name; }

uint32_t KeyMillivolts(PanelKey key) { return RowOf(key).millivolts; }

bool KeyFromName(const std::string& name, PanelKey* key) {
  for (const KeyRow& row : kKeys) {
    if (row.key != PanelKey::None && name == row.name) {
      *key = row.key;
      return true;
    }
  }
  return false;
}

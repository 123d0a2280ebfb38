// Keys from a terminal, as the board's keys: a terminal gives no key-up, only the
// key's auto-repeat while it is held, so a key stays down until kRepeatGapMs after its
// last repeat. A long press can also be asked for outright (held kLongPressMs), for
// terminals that do not repeat. One key is down at a time, as on the shield's ladder.
#pragma once
#include "panel_keys.h"

constexpr double kRepeatGapMs = 150;
constexpr double kLongPressMs = 1000;

struct KeyChange {
  PanelKey up = PanelKey::None;    // released, if not None
  PanelKey down = PanelKey::None;  // pressed, if not None
};

class KeyHold {
 public:
  // A key (or its repeat) arrived at atMs.
  KeyChange Typed(PanelKey key, bool longPress, double atMs);
  // Releases the key when its time is up.
  KeyChange Tick(double atMs);
  PanelKey Down() const { return down_; }

 private:
  PanelKey down_ = PanelKey::None;
  double releaseAt_ = 0;
};

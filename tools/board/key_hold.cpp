#include "key_hold.h"

#include <algorithm>

KeyChange KeyHold::Typed(PanelKey key, bool longPress, double atMs) {
  KeyChange change;
  const double until = atMs + (longPress ? kLongPressMs : kRepeatGapMs);
  if (key == down_) {
    releaseAt_ = std::max(releaseAt_, until);  // a repeat never shortens a long press
    return change;
  }
  change.up = down_;
  change.down = key;
  down_ = key;
  releaseAt_ = until;
  return change;
}

KeyChange KeyHold::Tick(double atMs) {
  KeyChange change;
  if (down_ != PanelKey::None && atMs >= releaseAt_) {
    change.up = down_;
    down_ = PanelKey::None;
  }
  return change;
}

#include "keys.h"

#include "key_ladder.h"

void KeyFilterReset(KeyFilter* filter) { *filter = KeyFilter{Key::None, 0, Key::None, 0, false}; }

namespace {

bool Give(KeyEvent* event, Key key, KeyAction action) {
  *event = KeyEvent{key, action};
  return true;
}

// The stable key is no longer the held one: the held key comes up first (Short unless
// its Long was given), and a new key goes down with the next reading.
bool Change(KeyFilter* f, Key now, uint32_t nowMs, KeyEvent* event) {
  if (f->held != Key::None) {
    const Key released = f->held;
    const bool wasLong = f->longSent;
    f->held = Key::None;
    f->longSent = false;
    return !wasLong && Give(event, released, KeyAction::Short);
  }
  f->held = now;
  f->nextMs = nowMs + kLongPressMs;
  return Give(event, now, KeyAction::Down);
}

}  // namespace

bool KeySample(KeyFilter* f, uint16_t reading, uint32_t nowMs, KeyEvent* event) {
  return KeySampleKey(f, KeyFromReading(reading), nowMs, event);
}

bool KeySampleKey(KeyFilter* f, Key key, uint32_t nowMs, KeyEvent* event) {
  if (key != f->seen) {
    f->seen = key;
    f->seenFor = 0;
  }
  if (f->seenFor < kStableSamples) f->seenFor++;
  if (f->seenFor < kStableSamples) return false;
  if (key != f->held) return Change(f, key, nowMs, event);
  if (key == Key::None || static_cast<int32_t>(nowMs - f->nextMs) < 0) return false;
  const KeyAction action = f->longSent ? KeyAction::Repeat : KeyAction::Long;
  f->longSent = true;
  f->nextMs = nowMs + kRepeatMs;
  return Give(event, key, action);
}

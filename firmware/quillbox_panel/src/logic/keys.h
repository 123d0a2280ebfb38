// The five keys of the shield, from the voltage on A0 to what a screen reacts to.
//
// A reading is taken every few milliseconds. A key counts as down once the same key has
// been read kStableSamples times in a row: the ladder passes through other keys'
// voltages while a key goes down or comes up, and those passing readings must not count.
// Then each key press gives, in order:
//   Down    at once, for screens that move a cursor;
//   Short   on release, when the key was held less than kLongPressMs;
//   Long    once the key has been held kLongPressMs, while it is still down;
//   Repeat  every kRepeatMs after that, while it is still down.
// Every key press gives Down and then either Short or Long. Which key a reading is, is
// key_ladder.h's to say.
#pragma once
#include <stdint.h>

enum class Key : uint8_t { None, Right, Up, Down, Left, Select };
enum class KeyAction : uint8_t { Down, Short, Long, Repeat };

struct KeyEvent {
  Key key;
  KeyAction action;
};

constexpr uint8_t kKeySampleMs = 5;
constexpr uint8_t kStableSamples = 3;
constexpr uint16_t kLongPressMs = 700;
constexpr uint16_t kRepeatMs = 180;

struct KeyFilter {
  Key seen;         // the key of the last readings ...
  uint8_t seenFor;  // ... read this many times in a row
  Key held;         // the key that counts as down, or None
  uint32_t nextMs;  // when the next Long or Repeat is due
  bool longSent;
};

void KeyFilterReset(KeyFilter* filter);

// Feeds one reading taken at nowMs; true with *event when the key press gave an event.
// At most one event per reading: a release and the next key's press are readings apart.
bool KeySample(KeyFilter* filter, uint16_t reading, uint32_t nowMs, KeyEvent* event);
// The same for a key already told (the encoder's push counts as Select).
bool KeySampleKey(KeyFilter* filter, Key key, uint32_t nowMs, KeyEvent* event);

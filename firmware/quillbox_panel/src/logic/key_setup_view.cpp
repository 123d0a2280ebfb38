#include "key_setup_view.h"

#include "key_check_view.h"
#include "key_ladder.h"

namespace {

constexpr uint16_t kNoReading = 0xFFFF;

struct Setup {
  uint16_t readings[kLadderKeys];
  uint8_t step;        // the key asked for: Right is 0
  uint16_t last;       // the reading before
  uint8_t settledFor;  // readings in a row within kSettledCounts of the one before
  uint16_t pressed;    // the settled reading of the key down, or kNoReading
  bool down;           // a key is down
  bool leftOver;       // ... and went down before the setup began: it counts for nothing
  uint32_t downSinceMs;
};
Setup S;

bool Settled(uint16_t reading) {
  const bool near = reading + kSettledCounts >= S.last && reading <= S.last + kSettledCounts;
  S.last = reading;
  S.settledFor = near ? (S.settledFor < kStableSamples ? static_cast<uint8_t>(S.settledFor + 1) : S.settledFor) : 0;
  return S.settledFor >= kStableSamples;
}

KeySetup KeyCameUp() {
  S.down = false;
  const bool counts = !S.leftOver && S.pressed != kNoReading;
  S.leftOver = false;
  if (!counts) return KeySetup::Asking;  // a touch too short to settle
  S.readings[S.step++] = S.pressed;
  S.pressed = kNoReading;
  if (S.step < kLadderKeys) return KeySetup::Asking;
  return LadderSet(S.readings) ? KeySetup::Set : KeySetup::NotSet;
}

}  // namespace

static_assert(kLadderKeys == 5, "the screen counts to 5");

void OpenKeySetup(uint32_t nowMs) {
  // The press that opened it is still down.
  S = Setup{{}, 0, kNoReading, 0, kNoReading, true, true, nowMs};
}

KeySetup KeySetupSample(uint16_t reading, uint32_t nowMs) {
  if (S.step >= kLadderKeys) return KeySetup::Asking;  // done: the panel has left
  const bool settled = Settled(reading);
  if (reading >= kKeyUpFloor) return S.down && settled ? KeyCameUp() : KeySetup::Asking;
  if (!S.down) {
    S.down = true;
    S.downSinceMs = nowMs;
  }
  if (settled && !S.leftOver) S.pressed = reading;
  if (!S.leftOver && nowMs - S.downSinceMs >= kStopHoldMs) return KeySetup::Stopped;
  return KeySetup::Asking;
}

void DrawKeySetup(Screen* screen) {
  uint8_t at = PutFlash(screen, 0, 0, FLASH_TEXT("Press "));
  at = PutFlash(screen, 0, at, KeyName(static_cast<Key>(static_cast<uint8_t>(Key::Right) + S.step)));
  at = PutNumber(screen, 0, static_cast<uint8_t>(at + 1), static_cast<uint16_t>(S.step + 1));
  PutFlash(screen, 0, at, FLASH_TEXT("/5"));
  PutFlash(screen, 1, 0, FLASH_TEXT("Hold=stop"));
  if (S.last != kNoReading) PutNumberEnd(screen, 1, S.last);
}

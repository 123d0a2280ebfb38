// Calibrating the keys for a shield on another ladder: the panel asks for each key in
// turn, Right first, and takes the reading it settled on once the key is up again. The
// five readings become the thresholds (key_ladder.h) when they make a sane ladder.
// It reads the raw readings, not keys: the keys may be misread until it is done.
//
//   Press Right 1/5
//   Hold=stop   1023      the reading now
//
// A key held for kStopHoldMs stops it, and nothing changes.
#pragma once
#include <stdint.h>

#include "screen.h"

constexpr uint16_t kStopHoldMs = 3000;
// A reading at or above this is no key (about 4.7 V): every ladder's keys lie below it.
constexpr uint16_t kKeyUpFloor = 960;
// Readings within this of the one before count as settled.
constexpr uint8_t kSettledCounts = 4;

enum class KeySetup : uint8_t { Asking, Set, NotSet, Stopped };

void OpenKeySetup(uint32_t nowMs);
// Takes one reading; Set or NotSet once the fifth key came up, Stopped after a long hold.
KeySetup KeySetupSample(uint16_t reading, uint32_t nowMs);
void DrawKeySetup(Screen* screen);

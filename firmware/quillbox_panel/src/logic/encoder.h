// A rotary encoder with a push (the KY-040 kind): two contacts to ground, A and B, a
// quarter of a quadrature cycle apart, resting at a detent with both open (high).
//
// The decode is a table of the sixteen transitions from one pin state to the next: a
// step forward, a step back, or nothing (no change, or both pins changed: a state was
// missed and its direction is unknown). Bounce on one contact walks back and forth
// between two neighbouring states, and its steps cancel; a detent counts only when the
// pins come to rest at a detent state at least two steps from where the last one was
// counted, so a bounce never counts twice and a half turn taken back never counts.
// Encoders with a whole cycle per detent rest at 11 only; those with half a cycle per
// detent rest at 11 and at 00.
//
// Clockwise, A falls first (11, 01, 00, 10, 11): a step forward, down a list.
#pragma once
#include <stdint.h>

enum class DetentSteps : uint8_t { kFour = 0, kTwo = 1 };
// How the panel is set up to know it: told from how the encoder rests (RestsAtHalfCycle,
// losing the first detent of a half-cycle one), or fixed.
enum class DetentSetting : uint8_t { kAuto = 0, kFour = 1, kTwo = 2 };

struct Quadrature {
  uint8_t pins;  // the last state: A in bit 1, B in bit 0
  int8_t steps;  // since the last detent counted
};

void QuadratureReset(Quadrature* q, uint8_t pins);
// A new state of the pins; returns +1 or -1 for a detent passed, 0 otherwise.
int8_t QuadratureFeed(Quadrature* q, uint8_t pins, DetentSteps perDetent);

// Which kind an encoder is, told from how it rests: one of half a cycle per detent rests
// at 00 at every other detent; one of a whole cycle never does (its detents pull it to
// 11, and nothing stays half-way for long). True when the pins have stood at 00 so long.
constexpr uint16_t kHalfCycleRestMs = 1000;
bool RestsAtHalfCycle(uint8_t pins, uint32_t stillMs);

// How many entries a detent moves a list, from the time since the detent before: one at
// up to 10 detents a second, then more the faster the turn, so that 500 entries pass in
// a few turns (20 detents each).
uint8_t TurnStride(uint32_t sinceLastMs);

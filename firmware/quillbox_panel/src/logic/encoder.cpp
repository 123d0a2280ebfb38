#include "encoder.h"

#include "flash_text.h"

namespace {

// kStep[from << 2 | to]: +1 forward (11 > 01 > 00 > 10 > 11), -1 back, 0 otherwise.
// clang-format off
const int8_t kStep[16] FLASH = {
    0, -1, +1,  0,   // from 00: to 01 back, to 10 forward
   +1,  0,  0, -1,   // from 01: to 00 forward, to 11 back
   -1,  0,  0, +1,   // from 10: to 00 back, to 11 forward
    0, +1, -1,  0,   // from 11: to 01 forward, to 10 back
};
// clang-format on

bool AtRest(uint8_t pins, DetentSteps perDetent) { return pins == 3 || (perDetent == DetentSteps::kTwo && pins == 0); }

}  // namespace

void QuadratureReset(Quadrature* q, uint8_t pins) { *q = Quadrature{static_cast<uint8_t>(pins & 3), 0}; }

int8_t QuadratureFeed(Quadrature* q, uint8_t pins, DetentSteps perDetent) {
  pins &= 3;
  q->steps = static_cast<int8_t>(q->steps + static_cast<int8_t>(FlashByte(&kStep[q->pins << 2 | pins])));
  q->pins = pins;
  if (!AtRest(pins, perDetent)) return 0;
  const int8_t steps = q->steps;
  q->steps = 0;
  if (steps >= 2) return 1;
  if (steps <= -2) return -1;
  return 0;
}

bool RestsAtHalfCycle(uint8_t pins, uint32_t stillMs) { return (pins & 3) == 0 && stillMs >= kHalfCycleRestMs; }

uint8_t TurnStride(uint32_t sinceLastMs) {
  if (sinceLastMs >= 100) return 1;
  if (sinceLastMs >= 60) return 2;
  if (sinceLastMs >= 40) return 4;
  if (sinceLastMs >= 25) return 12;
  return 20;
}

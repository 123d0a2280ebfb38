#include "display_controller.h"

#include <cstdio>

void DisplayController::PowerOn(double atMs) {
  memory_.PowerOn();
  timing_.PowerOn(atMs * 1000);
  lastChangeMs_ = atMs;
}

void DisplayController::Latch(bool rs, uint8_t nibble, double atMs) {
  const EarlyWrite e = timing_.Latch(rs, nibble, atMs * 1000);
  const uint32_t before = memory_.Changes();
  memory_.Latch(rs, nibble);
  if (memory_.Changes() != before) lastChangeMs_ = atMs;
  if (!e.early || faults_ == nullptr) return;
  char what[96];
  std::snprintf(what, sizeof what, "%s %.1f us into an instruction of %.1f us", rs ? "data" : "instruction",
                e.afterUs, e.neededUs);
  faults_->Note(FaultKind::Display, atMs, what);
}

#include "board_encoder.h"

#include <cmath>

#include "board_chip.h"
#include "simavr.h"

namespace {

const struct {
  char port;
  int bit;
} kWires[3] = {{'D', 2}, {'D', 3}, {'B', 4}};  // A, B, the switch

}  // namespace

bool BoardEncoder::Attach(avr_t* avr) {
  avr_ = avr;
  for (int pin = 0; pin < 3; pin++) {
    if (!pins_.Hold(avr, kWires[pin].port, kWires[pin].bit, encoder_.Level(pin))) return false;
  }
  return true;
}

double BoardEncoder::NowMs() const { return static_cast<double>(avr_->cycle) / kCyclesPerMs; }

void BoardEncoder::Restart() {
  pins_.Restore();
  Arm();
}

void BoardEncoder::Turn(int detents, double perSecond, bool pushed) {
  if (pushed) {
    encoder_.TurnPushed(detents, perSecond, NowMs());
  } else {
    encoder_.Turn(detents, perSecond, NowMs());
  }
  Arm();
}

void BoardEncoder::Push(double holdMs) {
  encoder_.Push(holdMs, NowMs());
  Arm();
}

uint64_t BoardEncoder::OnTimer(avr_t*, uint64_t, void* param) {
  BoardEncoder& e = *static_cast<BoardEncoder*>(param);
  e.Apply();
  e.Arm();
  return 0;
}

void BoardEncoder::Apply() {
  for (const PinChange& c : encoder_.Take(NowMs())) {
    if (c.pin == kDetentDone) {
      done_(c.level, c.atMs);
    } else {
      pins_.Set(kWires[c.pin].port, kWires[c.pin].bit, c.level);
    }
  }
}

// One timer, for the next change.
void BoardEncoder::Arm() {
  avr_cycle_timer_cancel(avr_, OnTimer, this);
  const double next = encoder_.NextMs();
  if (next < 0) return;
  const double now = NowMs();
  const uint64_t in = next <= now ? 1 : static_cast<uint64_t>(std::ceil((next - now) * kCyclesPerMs));
  avr_cycle_timer_register(avr_, in, OnTimer, this);
}

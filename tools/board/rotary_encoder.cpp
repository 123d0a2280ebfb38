#include "rotary_encoder.h"

#include <algorithm>
#include <cstdlib>

namespace {

// (A,B) through the cycle, clockwise.
constexpr bool kCycle[4][2] = {{true, true}, {false, true}, {false, false}, {true, false}};
constexpr double kStepBounceShare = 0.4;

}  // namespace

RotaryEncoder::RotaryEncoder(int detentSteps, double bounceMs)
    : steps_(detentSteps == 2 ? 2 : 4), bounceMs_(bounceMs) {}

double RotaryEncoder::Random() {
  seed_ = seed_ * 1103515245u + 12345u;
  return static_cast<double>(seed_ >> 8 & 0xFFFF) / 65536.0;
}

void RotaryEncoder::Turn(int detents, double perSecond, double fromMs) {
  const int way = detents < 0 ? -1 : 1;
  const double detentMs = 1000.0 / perSecond;
  const double stepMs = detentMs / steps_;
  const double bounce = std::min(bounceMs_, kStepBounceShare * stepMs);
  double at = std::max(fromMs, turnsEndMs_);
  for (int d = 0; d < std::abs(detents); d++) {
    for (int s = 0; s < steps_; s++) {
      const int from = position_;
      position_ = (position_ + way + 4) % 4;
      const int pin = kCycle[from][0] != kCycle[position_][0] ? kEncoderA : kEncoderB;
      Contact(pin, kCycle[position_][pin], at + (s + 0.5) * stepMs, bounce);
    }
    Insert({at + (steps_ - 0.5) * stepMs, kDetentDone, way > 0});
    at += detentMs;
  }
  turnsEndMs_ = at;
}

void RotaryEncoder::TurnPushed(int detents, double perSecond, double fromMs) {
  constexpr double kSettleMs = 50;
  const double at = std::max({fromMs, turnsEndMs_, pushesEndMs_});
  const double turnMs = std::abs(detents) * 1000.0 / perSecond;
  Push(kSettleMs + turnMs + kSettleMs, at);
  Turn(detents, perSecond, at + kSettleMs);
}

void RotaryEncoder::Push(double holdMs, double fromMs) {
  const double at = std::max(fromMs, pushesEndMs_);
  Contact(kEncoderSwitch, false, at, bounceMs_);
  Contact(kEncoderSwitch, true, at + holdMs, bounceMs_);
  pushesEndMs_ = at + holdMs + bounceMs_;
}

// The contact reaches `level` at atMs and chatters back and forth until atMs + bounceMs.
void RotaryEncoder::Contact(int pin, bool level, double atMs, double bounceMs) {
  Insert({atMs, pin, level});
  if (bounceMs <= 0) return;
  const int flips = 2 * (1 + static_cast<int>(Random() * 3));
  for (int j = 1; j <= flips; j++) {
    const double when = atMs + bounceMs * (j + 0.5 * Random()) / (flips + 1);
    Insert({when, pin, (j % 2 == 0) == level});
  }
}

void RotaryEncoder::Insert(const PinChange& change) {
  auto at = std::upper_bound(queue_.begin(), queue_.end(), change.atMs,
                             [](double t, const PinChange& c) { return t < c.atMs; });
  queue_.insert(at, change);
}

std::vector<PinChange> RotaryEncoder::Take(double atMs) {
  std::vector<PinChange> due;
  while (!queue_.empty() && queue_.front().atMs <= atMs) {
    const PinChange c = queue_.front();
    queue_.pop_front();
    if (c.pin != kDetentDone) levels_[c.pin] = c.level;
    due.push_back(c);
  }
  return due;
}

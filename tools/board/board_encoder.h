// The rotary encoder on the board's pins: A (CLK) on D2 (PD2, INT0), B (DT) on D3 (PD3,
// INT1), the switch on D12 (PB4), each a contact to ground (rotary_encoder.h) held by
// the board (held_pins.h). Its changes are timed to the cycle with simavr's timers; the
// end of each detent (its last contact's change) is printed as `detent <t> +1` or `-1`.
#pragma once
#include <functional>

#include "held_pins.h"
#include "rotary_encoder.h"

struct avr_t;

class BoardEncoder {
 public:
  using DetentDone = std::function<void(bool clockwise, double atMs)>;
  BoardEncoder(int detentSteps, DetentDone done) : encoder_(detentSteps), done_(std::move(done)) {}
  bool Attach(avr_t* avr);
  // After a reset of the chip: its timers are gone and its pin registers forgot.
  void Restart();
  void Turn(int detents, double perSecond, bool pushed);
  void Push(double holdMs);
  bool Idle() const { return encoder_.Idle(); }
  const RotaryEncoder& Encoder() const { return encoder_; }

 private:
  static uint64_t OnTimer(avr_t* avr, uint64_t when, void* param);
  void Apply();
  void Arm();
  double NowMs() const;
  avr_t* avr_ = nullptr;
  RotaryEncoder encoder_;
  HeldPins pins_;
  DetentDone done_;
};

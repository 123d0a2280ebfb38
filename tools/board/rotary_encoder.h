// A KY-040-style rotary encoder with its push switch, as contacts to ground (pulled up
// on the module: a closed contact reads low). Turning walks the two contacts A and B
// through the quadrature cycle, one contact changing at a time: clockwise A leads B,
// (A,B) from rest (1,1) to (0,1), (0,0), (1,0) and back. A detent is the whole cycle
// (four steps, the common kind) or half of it (two steps, resting at (1,1) and (0,0)).
// The steps of a detent are spread evenly over its time, and every change of a contact
// bounces: it chatters (one to three pairs of flips) for `bounceMs` before it settles,
// cut to 40% of the time between steps when turning faster than the contacts can chatter,
// so that one contact is at rest whenever the other moves. The switch bounces on press
// and on release. The chatter comes from a fixed seed: a run is the same every time.
//
// Everything is scheduled ahead and taken in time order; a turn asked while another is
// queued follows it. Each detent's end (its last contact's change, as its bounce begins)
// is a change of its own (kDetentDone) that the board prints, so that a measure can start
// from it.
#pragma once
#include <cstdint>
#include <deque>
#include <vector>

enum EncoderPin { kEncoderA = 0, kEncoderB = 1, kEncoderSwitch = 2, kDetentDone = 3 };

constexpr double kDefaultBounceMs = 5;
constexpr double kDefaultDetentsPerSecond = 10;

struct PinChange {
  double atMs;
  int pin;     // EncoderPin
  bool level;  // for kDetentDone: true clockwise
};

class RotaryEncoder {
 public:
  explicit RotaryEncoder(int detentSteps = 4, double bounceMs = kDefaultBounceMs);
  int DetentSteps() const { return steps_; }
  // |detents| detents, clockwise when positive, at `perSecond`, from fromMs or from the
  // end of the turns already queued.
  void Turn(int detents, double perSecond, double fromMs);
  // The switch pushed, then the turn once it has settled, then the switch let go once the
  // last detent has: a thumb pressing the knob as it turns it.
  void TurnPushed(int detents, double perSecond, double fromMs);
  // The switch closed for holdMs, from fromMs or after the pushes already queued.
  void Push(double holdMs, double fromMs);
  // The changes due by atMs, in order; the levels follow them.
  std::vector<PinChange> Take(double atMs);
  double NextMs() const { return queue_.empty() ? -1 : queue_.front().atMs; }
  bool Idle() const { return queue_.empty(); }
  bool Level(int pin) const { return levels_[pin]; }

 private:
  void Contact(int pin, bool level, double atMs, double bounceMs);
  void Insert(const PinChange& change);
  double Random();  // 0 to 1
  int steps_;
  double bounceMs_;
  int position_ = 0;  // in the quadrature cycle, 0 to 3, as queued
  double turnsEndMs_ = 0;
  double pushesEndMs_ = 0;
  std::deque<PinChange> queue_;
  bool levels_[3] = {true, true, true};
  uint32_t seed_ = 12345;
};

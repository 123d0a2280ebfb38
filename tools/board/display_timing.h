// The display controller's own time, as a strict HD44780 at 190 kHz keeps it. With RW
// tied to ground the firmware cannot read the busy flag, so it must wait out every
// instruction itself; a controller that is still busy ignores or garbles what comes. The
// display controller (display_controller.h) feeds each fall of E (when the controller
// latches) with RS and D4-D7, and is told when the write came too soon.
//
// Times are the datasheet's at 270 kHz scaled by 270/190 (compatible controllers run as
// slow as 190 kHz): 53 us an instruction or character, 2.16 ms for clear and home; the
// initialisation by instruction waits 4.1 ms after the first function set and 100 us
// after the second, scaled likewise. The controller powers up in 8-bit mode (each E a
// whole instruction, D0-D3 unseen) and takes no instruction within 40 ms of the supply
// rising; it keeps its mode across a reset of the chip, which does not power it down.
#pragma once
#include <cstdint>

constexpr double kDisplayScale = 270.0 / 190.0;
constexpr double kInstructionUs = 37 * kDisplayScale;     // 52.6
constexpr double kClearHomeUs = 1520 * kDisplayScale;     // 2160
constexpr double kFirstSetUs = 4100 * kDisplayScale;      // 5826: after power-on's first function set
constexpr double kSecondSetUs = 100 * kDisplayScale;      // 142: after its second
constexpr double kPowerRiseUs = 40000;                    // supply to the first instruction

// A write that came too soon: when it came and how long the controller still had to run.
struct EarlyWrite {
  bool early = false;
  double afterUs = 0;   // since the previous instruction was latched
  double neededUs = 0;  // what that instruction takes
};

class DisplayTiming {
 public:
  // The supply rises: 8-bit mode, the initialisation's waits ahead.
  void PowerOn(double atUs);
  // E fell: the controller latches RS and D4-D7 (a nibble in 4-bit mode).
  EarlyWrite Latch(bool rs, uint8_t nibble, double atUs);

 private:
  void Execute(bool rs, uint8_t value, double atUs);
  bool fourBit_ = false;
  bool highHalf_ = false;  // 4-bit mode: the high nibble is in, the low one to come
  bool highEarly_ = false; // and it came too soon: the write is reported once
  uint8_t high_ = 0;
  int functionSets_ = 0;   // since power-on, while the initialisation lasts
  double busyFromUs_ = 0;  // the last instruction's latch
  double busyUs_ = 0;      // and how long it runs
};

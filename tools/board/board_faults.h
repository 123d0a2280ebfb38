// What the real parts would not take, seen on the simulated board: a page of the
// application's flash changed (the bootloader erased or wrote it), a byte that
// completed while the receiver already held two, a display instruction written while
// the previous one still ran, the backlight's pin driven high, the two-wire bus clocked
// faster than the expander's 100 kHz, the EEPROM read, written or its address moved while
// it still wrote a byte, TX left floating while the chip runs. simavr lets each of these
// pass; the board counts them and prints each as it happens, so that the test that met
// one fails.
//
//   fault <t> <kind> <what>
#pragma once
#include <array>
#include <string>

class BoardOutput;

enum class FaultKind { Flash, Overrun, Display, Backlight, Bus, Eeprom, Line };
constexpr int kFaultKinds = 7;

const char* FaultName(FaultKind kind);  // "flash", "overrun", "display", "backlight", "bus", "eeprom", "line"

class BoardFaults {
 public:
  explicit BoardFaults(BoardOutput& out) : out_(out) {}
  void Note(FaultKind kind, double atMs, const std::string& what);
  int Count(FaultKind kind) const { return counts_[static_cast<int>(kind)]; }
  int Total() const;

 private:
  BoardOutput& out_;
  std::array<int, kFaultKinds> counts_{};
};

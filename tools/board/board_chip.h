// The ATmega328P at 16 MHz, on simavr, running the firmware's ELF; and what the board
// measures of the chip itself: the share of time it slept, the stack's high-water mark
// and the firmware's own count of receive overruns.
#pragma once
#include <cstdint>
#include <string>

struct avr_t;

constexpr uint32_t kClockHz = 16000000;
constexpr double kCyclesPerMs = kClockHz / 1000.0;
constexpr uint16_t kRamEnd = 0x8FF;

class BoardChip {
 public:
  bool Load(const std::string& elfPath, std::string* problem);
  avr_t* Avr() const { return avr_; }
  uint64_t Cycle() const;
  double NowMs() const { return static_cast<double>(Cycle()) / kCyclesPerMs; }
  // Runs instructions (and sleeps) until the cycle count reaches `cycle`. A chip that has
  // stopped for good lets the time pass without it.
  void RunUntil(uint64_t cycle);
  void Reset();
  // "" while the firmware runs; why it stopped otherwise.
  const char* Halted() const;
  int Overruns() const;  // -1 when the firmware has no RxOverruns
  double AsleepPercent() const;
  int StackBytes() const { return kRamEnd - lowestSp_; }

 private:
  avr_t* avr_ = nullptr;
  bool hasOverruns_ = false;
  uint16_t overrunsAt_ = 0;
  uint16_t lowestSp_ = kRamEnd;
};

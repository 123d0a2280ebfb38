// The ATmega328P at 16 MHz of an Uno, on simavr: the bootloader in its boot section and
// the firmware's ELF below it, started as the Uno's fuses say, reset as the chip is
// (power on, the reset pin, its watchdog), each reset followed by the fuses' start-up
// time; and what the board measures of the chip itself: the share of time it slept,
// the stack's high-water mark, the firmware's own count of receive overruns and any
// change of the application's flash.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "flash_guard.h"

struct avr_t;

constexpr uint32_t kClockHz = 16000000;
constexpr double kCyclesPerMs = kClockHz / 1000.0;
constexpr uint16_t kRamEnd = 0x8FF;

// The Uno's fuses, but for the boot section: low 0xFF (a full-swing crystal with the
// slowest start-up, 16K CK and 65 ms after every reset), high 0xDC (BOOTRST, a 1 KB boot
// section at byte 0x7C00, where the Uno's 0xDE has 512 bytes at 0x7E00: see
// firmware/bootloader.cmake), extended 0xFD (brown-out at 2.7 V).
constexpr uint8_t kFuses[3] = {0xFF, 0xDC, 0xFD};
constexpr double kStartUpMs = 65;

// Where BOOTRST starts the chip, as a byte address (0 when it is not programmed).
uint32_t ResetAddress(uint8_t highFuse);

struct FlashChange {
  uint32_t page;
  double atMs;
};

class BoardChip {
 public:
  // The firmware's ELF and the bootloader's Intel hex; a power-on reset.
  bool Load(const std::string& elfPath, const std::string& bootHexPath, std::string* problem);
  avr_t* Avr() const { return avr_; }
  uint64_t Cycle() const;
  double NowMs() const { return static_cast<double>(Cycle()) / kCyclesPerMs; }
  // Runs instructions (and sleeps) until the cycle count reaches `cycle`. A chip that has
  // stopped for good, or is held in reset, lets the time pass without it.
  void RunUntil(uint64_t cycle);
  // A pulse on the reset pin (EXTRF): the Uno's USB chip gives one when a program opens
  // the port.
  void Reset();
  // The brown-out detector's reset (BORF): the supply fell below its level.
  void BrownOutReset();
  // In the start-up time after a reset: nothing runs and the UART is off.
  bool Held() const;
  // Resets the watchdog made since the last call.
  int TakeWatchdogResets();
  std::vector<FlashChange> TakeFlashChanges();
  // The application section erased (every byte 0xFF), as on a board that has only its
  // bootloader: a programmer then writes the firmware through it. The ELF's symbols stay.
  void EraseApplication();
  // "" while the firmware runs; why it stopped otherwise.
  const char* Halted() const;
  int Overruns() const;  // -1 when the firmware has no RxOverruns
  double AsleepPercent() const;  // of the firmware's time
  int StackBytes() const { return kRamEnd - lowestSp_; }

 private:
  bool LoadBootloader(const std::string& hexPath, std::string* problem);
  void StartUp();
  void HoldUntil(uint64_t cycle);
  void LookAtFlash();
  avr_t* avr_ = nullptr;
  void (*runOne_)(avr_t*) = nullptr;
  uint32_t bootStart_ = 0;
  uint64_t heldUntil_ = 0;
  uint64_t notFirmwareCycles_ = 0;  // held in reset, or running the bootloader
  int watchdogResets_ = 0;
  FlashGuard guard_;
  std::vector<FlashChange> flashChanges_;
  bool hasOverruns_ = false;
  uint16_t overrunsAt_ = 0;
  uint16_t lowestSp_ = kRamEnd;
};

// The ATmega328P's EEPROM as the chip writes it, where simavr 1.6 is kinder: simavr
// stores a byte the moment EEPE is set and clears EEPE at once; the chip takes 3.4 ms,
// keeps EEPE set meanwhile, and ignores a read, a new write or a change of the address
// while it writes. A reset in those 3.4 ms leaves the byte neither old nor new (the
// board leaves it erased, 0xFF). A firmware that reads, writes or moves the address
// during a write meets an `eeprom` fault.
//
// For tests of what a cut write leaves: a reset can be armed for the middle of the N-th
// byte the firmware writes from then on, and a brown-out can be played: the supply dips
// below what 16 MHz needs, the chip runs outside its rated conditions, and the worst it can do
// is write the byte its EEPROM address register points at (the board inverts it).
#pragma once
#include <cstdint>
#include <string>

struct avr_t;
class BoardFaults;

constexpr double kEepromWriteMs = 3.4;

class EepromWatch {
 public:
  bool Attach(avr_t* avr, BoardFaults* faults);
  // Arms a reset for the middle of the n-th byte written from now (1: the next).
  void ArmCut(int n);
  // True once, when the armed reset is due.
  bool CutDue();
  // At every reset of the chip: a write in progress is cut. What happened, or "".
  std::string OnReset();
  // The brown-out's stray write; what it changed.
  std::string StrayWrite();
  int Writes() const { return writes_; }

  // The EECR and EEAR writes, from simavr's I/O callbacks.
  void ControlWritten(uint8_t value);
  void AddressWritten(uint16_t address, uint8_t value);

 private:
  bool Writing() const;
  uint16_t Address() const;
  avr_t* avr_ = nullptr;
  BoardFaults* faults_ = nullptr;
  uint8_t* bytes_ = nullptr;  // simavr's own EEPROM
  int writes_ = 0;
  uint16_t writingAt_ = 0;
  uint64_t writeEnds_ = 0;  // cycle
  int cutAfter_ = 0;        // writes to go before the armed cut; 0: none armed
  uint64_t cutAt_ = 0;      // cycle of the armed reset, once its write began
};

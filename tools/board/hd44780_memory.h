// The HD44780's own memory, as the controller keeps it from what arrives on its pins:
// the text memory (DDRAM, 80 characters), the custom characters' bitmaps (CGRAM, eight
// of 5x8 dots), the address counter and which of the two it points into, the entry
// mode, the display shift and the display-on bit. simavr's display part writes CGRAM
// data over its second row of text, so the board keeps this model beside it, fed from
// the pins, and draws the display from it.
//
// Latch() takes what the controller latches as E falls: RS and D4-D7 (RW is tied to
// ground on the shield: writes only). After power-on the controller is in 8-bit mode
// and each latch is a whole instruction whose low four bits (D0-D3, not wired) read 0;
// a function set with DL clear switches it to 4-bit mode, where two latches make a
// byte, high nibble first, and a function set with DL set switches it back, which is
// how the datasheet's start-up sequence finds a known state from any other.
#pragma once
#include <array>
#include <cstdint>

constexpr int kDdramBytes = 80;
constexpr int kCgramBytes = 64;          // 8 characters of 8 rows, 5 dots each (bits 4-0)
constexpr int kDdramLineLength = 40;     // each of the two lines' length in 2-line mode
constexpr uint8_t kDdramSecondLine = 0x40;

class Hd44780Memory {
 public:
  Hd44780Memory() { PowerOn(); }
  // The internal reset at power-on: 8-bit mode, 1 line, display off, the text cleared,
  // increment without shift. CGRAM keeps no defined content: it starts blank here.
  void PowerOn();
  void Latch(bool rs, uint8_t nibble);

  // The character code shown at a cell of a display `columns` wide, the display shift
  // applied. Rows 0 and 1 show the two lines from their start; a 4-row display shows the
  // lines again from `columns` on as rows 2 and 3 (20x4: rows at 0x00, 0x40, 0x14, 0x54).
  // The odd rows show nothing in 1-line mode.
  uint8_t Shown(int row, int column, int columns = 16) const;
  // A character's dot row (bits 4-0, bit 4 the leftmost dot) from CGRAM; codes 0x08-0x0F
  // are 0x00-0x07 again.
  uint8_t CustomRow(uint8_t code, int row) const { return cgram_[(code & 7) * 8 + (row & 7)] & 0x1F; }
  bool DisplayOn() const { return displayOn_; }
  bool TwoLines() const { return twoLines_; }
  bool FourBit() const { return fourBit_; }
  uint8_t Address() const { return address_; }
  bool InCgram() const { return inCgram_; }
  // Counts every latch that completed an instruction or a data write, and every one that
  // changed what the display may show (memory, shift, the display-on bit).
  uint32_t Executed() const { return executed_; }
  uint32_t Changes() const { return changes_; }
  // Writes to a DDRAM address that holds nothing (0x28-0x3F, 0x68-0x7F in 2-line mode).
  uint32_t StrayWrites() const { return strays_; }

 private:
  void Execute(bool rs, uint8_t value);
  void Instruction(uint8_t value);
  void Data(uint8_t value);
  void MoveCursor(bool right);
  void Shift(bool right);
  int DdramIndex(uint8_t address) const;  // -1 for an address that holds nothing
  std::array<uint8_t, kDdramBytes> ddram_{};
  std::array<uint8_t, kCgramBytes> cgram_{};
  uint8_t address_ = 0;
  bool inCgram_ = false;
  bool increment_ = true;
  bool shiftOnWrite_ = false;
  int shift_ = 0;  // how many places the display has moved left, 0 to 39
  bool displayOn_ = false;
  bool twoLines_ = false;
  bool fourBit_ = false;
  bool highNibbleNext_ = true;
  uint8_t highNibble_ = 0;
  uint32_t executed_ = 0;
  uint32_t changes_ = 0;
  uint32_t strays_ = 0;
};

// The ATmega328P's receiver, as the datasheet has it: a buffer of two bytes (UDR0 and
// one behind it) and the shift register. A byte whose stop bit comes while the buffer is
// full waits in the shift register; the next start bit then loses it (DOR). simavr
// queues 64 bytes and loses none, so the board runs this beside it: the line tells it of
// each start bit and each completed byte, the firmware's reads of UDR0 of each byte
// taken, and it answers whether a byte was lost.
#pragma once

constexpr int kReceiveBuffer = 2;

class UartReceiver {
 public:
  // A start bit on the line. True when it overran the receiver: the byte waiting in the
  // shift register is lost.
  bool StartBit();
  // A byte's stop bit: into the buffer, or the shift register while the buffer is full.
  void Complete();
  // The firmware took the oldest byte: the one in the shift register moves up.
  void Read();
  // Bytes the firmware can still read, the shift register's included.
  int Unread() const { return buffered_ + (shifted_ ? 1 : 0); }
  void Reset() { *this = UartReceiver(); }

 private:
  int buffered_ = 0;
  bool shifted_ = false;
};

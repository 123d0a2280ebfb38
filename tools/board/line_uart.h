// The chip's UART0 and the panel line: bytes from the PC go into the UART one at a
// time, back to back at the byte time the UART's registers give (10 bits for 8N1), as
// they would arrive on the wire; bytes the firmware sends come out through a callback.
// The board buffers what the line has not delivered yet: nothing is dropped but what
// arrives while the firmware's receiver is off, as on the real line.
//
// The receiver is the real one (uart_receiver.h): two bytes and the shift register. A
// byte lost to an overrun is taken out of simavr's queue and sets DOR, as the chip does,
// and the line reports it. simavr raises RXC a byte time after a byte has arrived; the
// line raises it at the byte's stop bit, as the chip does.
//
// simavr 1.6 times its UART at 11 bits a byte and takes the double-speed bit into
// account only when it is set before the baud rate: the line here keeps the UART's
// byte time at what the registers say.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>

#include "uart_receiver.h"

struct avr_t;
struct avr_uart_t;
struct avr_irq_t;

constexpr uint32_t kLineBaud = 115200;

class LineUart {
 public:
  using ByteSink = std::function<void(uint8_t byte, double atMs)>;
  // Attaches to the chip's UART0; toPc gets each byte the firmware sends, intoChip each
  // byte as it goes into the UART, lost each byte the receiver lost to an overrun.
  bool Attach(avr_t* avr, ByteSink toPc, ByteSink intoChip, ByteSink lost);
  void FromPc(const uint8_t* bytes, size_t count);
  size_t Waiting() const { return waiting_.size(); }
  // After each run of the chip: keeps the UART's byte time true to its registers.
  void KeepTiming();
  // The chip was reset: what was waiting belonged to the line before it.
  void Restart();
  int DroppedWhileOff() const { return dropped_; }
  // TX (PD1) floats: neither the UART's transmitter nor the port drives it, and no
  // pull-up holds it at the line's idle level.
  bool TxFloating() const;

 private:
  static void OnOutput(avr_irq_t*, uint32_t value, void* self);
  static void OnXon(avr_irq_t*, uint32_t, void* self);
  static void OnXoff(avr_irq_t*, uint32_t, void* self);
  static uint64_t OnFeedTime(avr_t*, uint64_t when, void* self);
  static uint8_t OnUdrRead(avr_t* avr, uint16_t addr, void* self);
  void Arm();
  void Deliver(uint8_t byte);
  void StartBit();
  int Queued() const;  // bytes in simavr's receive queue
  double NowMs() const;
  avr_t* avr_ = nullptr;
  avr_uart_t* uart_ = nullptr;
  avr_irq_t* input_ = nullptr;
  ByteSink toPc_;
  ByteSink intoChip_;
  ByteSink lost_;
  UartReceiver receiver_;
  uint8_t (*udrRead_)(avr_t*, uint16_t, void*) = nullptr;  // simavr's own
  void* udrParam_ = nullptr;
  std::deque<uint8_t> waiting_;
  bool room_ = true;   // no XOFF since the last XON
  bool armed_ = false;
  int dropped_ = 0;
};

// The panel line on UART0: an interrupt keeps every received byte in a ring until the main
// loop takes it, another sends the frame the panel handed over. Each index is written by
// one side only: the interrupt owns the receive ring's head and the frame's next byte.
// An index is published only after the slot it covers is written (or read): the ring
// bytes are not volatile, so a compiler barrier keeps their accesses on the right side
// of the index's store, and of its load on the other side.
#include <avr/interrupt.h>
#include <avr/io.h>
#include <util/atomic.h>

#include "../logic/board_io.h"
#include "../uno_shield.h"

// Bytes the line brought that were lost: the ring was full, or the UART's own buffer
// overflowed before the interrupt could take them. Read by the simulated board from the
// ELF's symbols, so it keeps this name.
volatile uint16_t RxOverruns = 0;

namespace {

// A status frame is 98 bytes and comes every 35 to 50 ms, a chunk 250; but the main loop
// takes every byte within a millisecond or so of its arrival (the display is written in
// slices between its turns: kPinsSlice operations on the shield, the I2C display from
// its own interrupt), so it needs no room for a frame, only for that while, and for the
// longest stretch without a turn (an EEPROM read waiting for a write, a start-up): 64
// bytes are 5.5 ms of line.
constexpr uint8_t kReceiveRing = 64;
static_assert((kReceiveRing & (kReceiveRing - 1)) == 0, "a power of two: indexes wrap by mask");

uint8_t Received[kReceiveRing];
volatile uint8_t ReceivedHead = 0;  // written by the interrupt
volatile uint8_t ReceivedTail = 0;  // written by the main loop
// One frame at a time: the panel sends at most one command a status frame, 35 ms or more
// apart, and the longest is gone in 2.8 ms.
uint8_t Sending[kLineSendRoom];
volatile uint8_t SendingLength = 0;  // written by the main loop, once the frame before has gone
volatile uint8_t SendingNext = 0;    // written by the interrupt, but for the new frame's start

inline void Barrier() { asm volatile("" ::: "memory"); }

}  // namespace

ISR(USART_RX_vect) {
  const bool overran = (UCSR0A & _BV(DOR0)) != 0;  // read before UDR0, which clears it
  const uint8_t byte = UDR0;
  if (overran) RxOverruns = RxOverruns + 1;
  const uint8_t next = static_cast<uint8_t>((ReceivedHead + 1) & (kReceiveRing - 1));
  if (next == ReceivedTail) {
    RxOverruns = RxOverruns + 1;
    return;
  }
  Received[ReceivedHead] = byte;
  Barrier();
  ReceivedHead = next;
}

ISR(USART_UDRE_vect) {
  const uint8_t next = SendingNext;
  if (next >= SendingLength) {
    UCSR0B &= static_cast<uint8_t>(~_BV(UDRIE0));  // nothing left: stop until the next frame
    return;
  }
  Barrier();
  UDR0 = Sending[next];
  SendingNext = static_cast<uint8_t>(next + 1);
}

// From reset until the UART takes it, TX is an input and floats: the USB chip can take
// what it picks up for a start bit and forward a stray byte to the PC. Driven to the
// line's idle level (high) first thing.
void LineHoldIdle() {
  LINE_TX_PORT |= _BV(LINE_TX_BIT);
  LINE_TX_DDR |= _BV(LINE_TX_BIT);
}

void LineStart() {
  UBRR0H = 0;
  UBRR0L = kLineUbrr;
  UCSR0A = _BV(U2X0);
  UCSR0C = _BV(UCSZ01) | _BV(UCSZ00);  // 8 data bits, no parity, one stop bit
  UCSR0B = _BV(RXEN0) | _BV(TXEN0) | _BV(RXCIE0);
}

bool LineWaiting() { return ReceivedHead != ReceivedTail; }

bool LineTakeByte(uint8_t* byte) {
  const uint8_t tail = ReceivedTail;
  if (tail == ReceivedHead) return false;
  Barrier();
  *byte = Received[tail];
  Barrier();
  ReceivedTail = static_cast<uint8_t>((tail + 1) & (kReceiveRing - 1));
  return true;
}

bool LineSend(const uint8_t* bytes, uint8_t length) {
  if (length > kLineSendRoom || SendingNext < SendingLength) return false;
  for (uint8_t i = 0; i < length; i++) Sending[i] = bytes[i];
  Barrier();
  // Both indexes at once: an interrupt between them would send the old frame's bytes.
  ATOMIC_BLOCK(ATOMIC_RESTORESTATE) {
    SendingNext = 0;
    SendingLength = length;
    UCSR0B |= _BV(UDRIE0);
  }
  return true;
}

// The I2C panel's way to the HD44780: a PCF8574 backpack on the TWI (A4 SDA, A5 SCL) at
// 100 kHz, the most the PCF8574 is specified for. A byte costs 90 us on the bus, a
// character four or five bytes, a whole 20x4 redraw about 35 ms: six times the receive
// ring's 5.5 ms of line. So nothing here waits for the bus: the main loop queues the core's
// operations, and the TWI's interrupt turns each into the expander's bytes and sends them
// in one long write. The bus's own pace keeps the controller's 53 us per instruction (the
// next instruction's first nibble comes 180 us later); the start-up's longer waits end the
// write, and BusStep starts the next once they are over.
//
// A bus that stops moving (SDA held low, no pull-ups, the backpack unplugged: the TWI
// then waits for ever, or is refused) is given up after kStuckMs: the TWI is switched off,
// the queue emptied, and once a second the backpack is asked again; when it answers, the
// display is started again from its power-on state, as it may have lost its power.
#include <avr/interrupt.h>
#include <avr/io.h>
#include <util/atomic.h>
#include <util/delay.h>

#include "display_avr.h"
#include "../logic/backpack.h"
#include "../uno_shield.h"

namespace {

constexpr uint8_t kTwbr = 72;  // 16 MHz / (16 + 2 * 72) = 100 kHz, prescaler 1
static_assert(kCpuHz / (16 + 2UL * kTwbr) == 100000UL, "the PCF8574's 100 kHz");
constexpr uint8_t kStuckMs = 5;      // a byte takes 0.09 ms: 5 ms without one is a stuck bus
constexpr uint16_t kRetryMs = 1000;  // asking a missing backpack again
constexpr uint8_t kPowerUpMs = 45;   // a display that comes back needs 40 ms after its power
constexpr uint8_t kProbePolls = 250; // 4 us each: 1 ms for a START or a byte (0.1 ms at 100 kHz)

// Master transmitter status codes (the datasheet's table 22-2), prescaler bits masked.
constexpr uint8_t kStarted = 0x08;
constexpr uint8_t kRestarted = 0x10;
constexpr uint8_t kAddressAcked = 0x18;
constexpr uint8_t kDataAcked = 0x28;

constexpr uint8_t kGo = _BV(TWINT) | _BV(TWEN) | _BV(TWIE);
constexpr uint8_t kStop = _BV(TWINT) | _BV(TWSTO) | _BV(TWEN);

// 1.5 ms of the bus; the main loop, woken by every byte's interrupt, tops it up.
constexpr uint8_t kQueue = 4;
static_assert((kQueue & (kQueue - 1)) == 0, "a power of two");
LcdOp Queued[kQueue];
volatile uint8_t QueuedHead = 0;  // written by the main loop
volatile uint8_t QueuedTail = 0;  // written by the interrupt

enum class Bus : uint8_t { Idle, Sending, Waiting, Failed, Stuck };
volatile Bus State = Bus::Idle;
volatile uint8_t Moved = 0;        // bytes acknowledged, wrapping: the main loop's sign of life
volatile uint8_t WaitMs = 0;       // the wait the interrupt met, for the main loop to start
uint8_t Address = 0;
uint8_t Bytes[kBackpackMostBytes];  // the operation being sent, as the expander's bytes
uint8_t ByteCount = 0;
uint8_t ByteAt = 0;
uint8_t Last = kBackpackLight;  // what the expander's pins hold
// The main loop's own.
uint8_t MovedSeen = 0;
uint16_t SinceMs = 0;  // when the bus last moved, a wait began or the backpack was asked (wrapping)
bool WaitTimed = false;  // SinceMs is the wait's start

// The next byte of the write, from the queue; false at its end (the queue empty, or a wait).
bool NextByte(uint8_t* byte) {
  while (ByteAt >= ByteCount) {
    const uint8_t tail = QueuedTail;
    if (tail == QueuedHead) return false;
    const LcdOp op = Queued[tail];
    QueuedTail = static_cast<uint8_t>((tail + 1) & (kQueue - 1));
    if (op.kind == LcdOpKind::WaitMs) {
      WaitMs = op.value;
      return false;
    }
    ByteCount = BackpackBytes(op, Last, Bytes);
    ByteAt = 0;
  }
  *byte = Bytes[ByteAt++];
  Last = *byte;
  return true;
}

void EndWrite(Bus next) {
  TWCR = kStop;
  State = next;
}

bool Poll() {
  for (uint8_t i = 0; i < kProbePolls; i++) {
    if ((TWCR & _BV(TWINT)) != 0) return true;
    _delay_us(4);
  }
  return false;
}

void StopTwi() {
  TWCR = 0;  // lets go of both lines, whatever the TWI was doing
  TWCR = _BV(TWEN);
}

void Start(uint32_t nowMs) {
  State = Bus::Sending;
  SinceMs = static_cast<uint16_t>(nowMs);
  MovedSeen = Moved;
  TWCR = kGo | _BV(TWSTA);
}

void GiveUp(uint32_t nowMs) {
  StopTwi();
  WaitTimed = false;
  WaitMs = 0;
  QueuedTail = QueuedHead;
  ByteCount = ByteAt = 0;
  State = Bus::Stuck;
  SinceMs = static_cast<uint16_t>(nowMs);
}

}  // namespace

ISR(TWI_vect) {
  const uint8_t status = TWSR & 0xF8;
  if (status == kStarted || status == kRestarted) {
    TWDR = static_cast<uint8_t>(Address << 1);
    TWCR = kGo;
    return;
  }
  if (status != kAddressAcked && status != kDataAcked) return EndWrite(Bus::Failed);  // refused, or lost
  Moved = static_cast<uint8_t>(Moved + 1);
  uint8_t byte;
  if (NextByte(&byte)) {
    TWDR = byte;
    TWCR = kGo;
    return;
  }
  EndWrite(WaitMs != 0 ? Bus::Waiting : Bus::Idle);
}

void BusStart() {
  // The Uno's own pull-ups (about 35 kOhm) under the backpack's: a bus with nothing on it
  // then reads high and its address goes unanswered, rather than floating.
  PORTC |= _BV(I2C_SDA_BIT) | _BV(I2C_SCL_BIT);
  TWSR = 0;
  TWBR = kTwbr;
  TWCR = _BV(TWEN);
}

bool BusLinesHigh() {
  _delay_us(10);
  return (PINC & (_BV(I2C_SDA_BIT) | _BV(I2C_SCL_BIT))) == (_BV(I2C_SDA_BIT) | _BV(I2C_SCL_BIT));
}

bool BusProbe(uint8_t address) {
  TWCR = _BV(TWINT) | _BV(TWSTA) | _BV(TWEN);
  bool acked = false;
  if (Poll() && ((TWSR & 0xF8) == kStarted)) {
    TWDR = static_cast<uint8_t>(address << 1);
    TWCR = _BV(TWINT) | _BV(TWEN);
    acked = Poll() && (TWSR & 0xF8) == kAddressAcked;
    TWCR = kStop;
    for (uint8_t i = 0; i < kProbePolls && (TWCR & _BV(TWSTO)) != 0; i++) _delay_us(4);
  }
  if ((TWCR & _BV(TWSTO)) != 0 || !acked) StopTwi();
  return acked;
}

void BusUse(uint8_t address) { Address = address; }

bool BusPut(const LcdOp& op) {
  if (State == Bus::Stuck) return true;  // dropped: the display starts afresh when it is back
  const uint8_t head = QueuedHead;
  const uint8_t next = static_cast<uint8_t>((head + 1) & (kQueue - 1));
  if (next == QueuedTail) return false;
  Queued[head] = op;
  QueuedHead = next;
  return true;
}

BusHealth BusStep(uint32_t nowMs) {
  switch (State) {
    case Bus::Sending:
      if (Moved != MovedSeen) {
        MovedSeen = Moved;
        SinceMs = static_cast<uint16_t>(nowMs);
      } else if (static_cast<uint16_t>(nowMs - SinceMs) > kStuckMs) {
        GiveUp(nowMs);
      }
      break;
    case Bus::Waiting:
      // Timed from the first pass that sees it (within a millisecond of its start): a
      // wait only grows by it.
      if (!WaitTimed) {
        WaitTimed = true;
        SinceMs = static_cast<uint16_t>(nowMs);
      } else if (static_cast<uint16_t>(nowMs - SinceMs) > WaitMs) {
        WaitTimed = false;
        WaitMs = 0;
        State = Bus::Idle;
      }
      break;
    case Bus::Failed: GiveUp(nowMs); break;
    case Bus::Stuck:
      if (static_cast<uint16_t>(nowMs - SinceMs) < kRetryMs) break;
      SinceMs = static_cast<uint16_t>(nowMs);
      if (!BusLinesHigh() || !BusProbe(Address)) break;
      State = Bus::Idle;
      BusPut(LcdOp{LcdOpKind::WaitMs, kPowerUpMs});
      return BusHealth::Back;
    case Bus::Idle: break;
  }
  if (State == Bus::Idle && QueuedHead != QueuedTail && (TWCR & _BV(TWSTO)) == 0) Start(nowMs);
  return State == Bus::Stuck ? BusHealth::Stuck : BusHealth::Fine;
}

// The panel's settings in the ATmega328P's EEPROM. Writing a byte takes about 3.4 ms:
// a record written in one go would keep the main loop from the line for tens of
// milliseconds and the receive ring would overflow, so the bytes are queued and written
// one at a time, each only when it differs, the next from the EEPROM's ready interrupt.
// The first write starts here rather than from the interrupt: on the chip the interrupt
// also comes while the EEPROM is idle, but simavr raises it only once a write has ended.
//
// The queue holds writes in the order they were asked for, each two bytes of head (the
// address's low byte; its two high bits and the length less one above them) and its
// bytes: a record's phases (stored_record.h) must reach the EEPROM in that order. It
// empties only once all are written, so a queue in use is a write in progress.
#include <avr/eeprom.h>
#include <avr/interrupt.h>
#include <avr/io.h>
#include <util/atomic.h>

#include "drivers_avr.h"
#include "../logic/board_io.h"

namespace {

constexpr uint8_t kLengthShift = 4;  // above the address's two high bits
static_assert(kStoreWriteCost == 2, "two bytes of head a write");
static_assert(kStoreWriteRoom <= 16, "the length less one in four bits");
static_assert(E2END < 0x400, "the address in ten bits");

uint8_t Queue[kStoreQueueRoom];
volatile uint8_t Queued = 0;  // bytes of Queue in use
uint8_t Piece = 0;            // where the write being done begins
uint8_t Done = 0;             // its bytes already seen

// Starts writing the next queued byte that differs from the EEPROM's; false when none is
// left, the queue emptied and the address register parked. With interrupts off, and the
// EEPROM idle.
bool WriteNextDiffering() {
  while (Piece < Queued) {
    const uint8_t high = Queue[Piece + 1];
    const uint8_t length = static_cast<uint8_t>((high >> kLengthShift) + 1);
    if (Done == length) {
      Piece = static_cast<uint8_t>(Piece + kStoreWriteCost + length);
      Done = 0;
      continue;
    }
    const uint8_t value = Queue[Piece + kStoreWriteCost + Done];
    EEAR = static_cast<uint16_t>((Queue[Piece] | (high & 0x03) << 8) + Done);
    Done = static_cast<uint8_t>(Done + 1);
    EECR |= _BV(EERE);
    if (EEDR == value) continue;
    EEDR = value;
    EECR |= _BV(EEMPE);
    EECR |= _BV(EEPE);  // within four cycles of EEMPE
    return true;
  }
  Queued = Piece = Done = 0;
  EEAR = kStoreParkAt;
  return false;
}

}  // namespace

ISR(EE_READY_vect) {
  if (!WriteNextDiffering()) EECR &= static_cast<uint8_t>(~_BV(EERIE));
}

void StoreRead(uint16_t at, uint8_t* bytes, uint8_t length) {
  while (Queued != 0) {
  }
  eeprom_read_block(bytes, reinterpret_cast<const void*>(at), length);
  EEAR = kStoreParkAt;
}

void StoreWrite(uint16_t at, const uint8_t* bytes, uint8_t length) {
  if (length == 0) return;
  if (length > kStoreWriteRoom) length = kStoreWriteRoom;
  while (Queued + kStoreWriteCost + length > kStoreQueueRoom) {  // room once the queue has emptied
  }
  ATOMIC_BLOCK(ATOMIC_RESTORESTATE) {
    const bool idle = Queued == 0;
    uint8_t* piece = Queue + Queued;
    piece[0] = static_cast<uint8_t>(at);
    piece[1] = static_cast<uint8_t>((at >> 8 & 0x03) | (length - 1) << kLengthShift);
    for (uint8_t i = 0; i < length; i++) piece[kStoreWriteCost + i] = bytes[i];
    Queued = static_cast<uint8_t>(Queued + kStoreWriteCost + length);
    if (idle && WriteNextDiffering()) EECR |= _BV(EERIE);
  }
}

bool StoreWriting() { return Queued != 0; }

// The register's value after a reset is not defined: parked before anything else runs.
void StorePark() { EEAR = kStoreParkAt; }

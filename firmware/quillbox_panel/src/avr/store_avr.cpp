// The panel's settings in the ATmega328P's EEPROM. Writing a byte takes about 3.4 ms:
// a record written in one go would keep the main loop from the line for tens of
// milliseconds and the receive ring would overflow, so the bytes are queued and written
// one at a time, each only when it differs, the next from the EEPROM's ready interrupt.
// The first write starts here rather than from the interrupt: on the chip the interrupt
// also comes while the EEPROM is idle, but simavr raises it only once a write has ended.
#include <avr/eeprom.h>
#include <avr/interrupt.h>
#include <avr/io.h>
#include <util/atomic.h>

#include "../logic/board_io.h"

namespace {

uint8_t Queued[kStoreWriteRoom];
uint16_t QueuedAt = 0;
uint8_t QueuedLength = 0;
volatile uint8_t Next = 0;   // the next of the queued bytes
volatile bool Busy = false;  // until the last byte that differed is written

// Starts writing the next queued byte that differs from the EEPROM's; false when none is
// left. With interrupts off, and the EEPROM idle.
bool WriteNextDiffering() {
  while (Next < QueuedLength) {
    const uint8_t i = Next;
    Next = static_cast<uint8_t>(i + 1);
    EEAR = static_cast<uint16_t>(QueuedAt + i);
    EECR |= _BV(EERE);
    if (EEDR == Queued[i]) continue;
    EEDR = Queued[i];
    EECR |= _BV(EEMPE);
    EECR |= _BV(EEPE);  // within four cycles of EEMPE
    return true;
  }
  return false;
}

}  // namespace

ISR(EE_READY_vect) {
  if (WriteNextDiffering()) return;
  EECR &= static_cast<uint8_t>(~_BV(EERIE));
  Busy = false;
}

void StoreRead(uint16_t at, uint8_t* bytes, uint8_t length) {
  while (Busy) {
  }
  eeprom_read_block(bytes, reinterpret_cast<const void*>(at), length);
}

void StoreWrite(uint16_t at, const uint8_t* bytes, uint8_t length) {
  while (Busy) {  // one record at a time
  }
  if (length > kStoreWriteRoom) length = kStoreWriteRoom;
  for (uint8_t i = 0; i < length; i++) Queued[i] = bytes[i];
  QueuedAt = at;
  QueuedLength = length;
  Next = 0;
  ATOMIC_BLOCK(ATOMIC_RESTORESTATE) {
    if (WriteNextDiffering()) {
      Busy = true;
      EECR |= _BV(EERIE);
    }
  }
}

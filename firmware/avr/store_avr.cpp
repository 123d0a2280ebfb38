// The panel's settings in the ATmega328P's EEPROM. Writing a byte takes about 3.4 ms:
// a record written in one go would keep the main loop from the line for tens of
// milliseconds and the receive ring would overflow, so the bytes are queued and the
// EEPROM's ready interrupt writes them one by one, each only when it differs.
#include <avr/eeprom.h>
#include <avr/interrupt.h>
#include <avr/io.h>

#include "logic/board_io.h"

namespace {

uint8_t Queued[kStoreWriteRoom];
uint16_t QueuedAt = 0;
volatile uint8_t QueuedLength = 0;  // cleared by the interrupt once all are written
volatile uint8_t Written = 0;       // written by the interrupt

bool Writing() { return Written < QueuedLength; }

}  // namespace

ISR(EE_READY_vect) {
  if (!Writing()) {
    EECR &= static_cast<uint8_t>(~_BV(EERIE));
    QueuedLength = 0;
    return;
  }
  const uint8_t i = Written;
  Written = static_cast<uint8_t>(i + 1);
  EEAR = static_cast<uint16_t>(QueuedAt + i);
  EECR |= _BV(EERE);
  if (EEDR == Queued[i]) return;  // the interrupt comes again at once: nothing is writing
  EEDR = Queued[i];
  EECR |= _BV(EEMPE);
  EECR |= _BV(EEPE);  // within four cycles of EEMPE: interrupts are off in here
}

void StoreRead(uint16_t at, uint8_t* bytes, uint8_t length) {
  while (Writing() || (EECR & _BV(EERIE)) != 0) {
  }
  eeprom_read_block(bytes, reinterpret_cast<const void*>(at), length);
}

void StoreWrite(uint16_t at, const uint8_t* bytes, uint8_t length) {
  while ((EECR & _BV(EERIE)) != 0) {  // one record at a time
  }
  if (length > kStoreWriteRoom) length = kStoreWriteRoom;
  for (uint8_t i = 0; i < length; i++) Queued[i] = bytes[i];
  QueuedAt = at;
  Written = 0;
  QueuedLength = length;
  EECR |= _BV(EERIE);
}

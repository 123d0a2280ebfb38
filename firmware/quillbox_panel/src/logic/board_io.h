// The board under the panel's logic: the line, the clock, the keys' voltage, the
// display and the EEPROM. The firmware links the _avr files (../avr/); the native
// tests and the fuzzer link fakes that script what arrives and record what leaves.
#pragma once
#include <stdint.h>

#include "encoder.h"
#include "screen.h"

// The next byte the line brought (kept by the receive interrupt); false when none waits.
bool LineTakeByte(uint8_t* byte);
// Starts sending a whole frame of at most kLineSendRoom bytes (the transmit interrupt sends
// it); false, and nothing sent, while the frame before is still going out.
constexpr uint8_t kLineSendRoom = 32;  // the longest command's frame
bool LineSend(const uint8_t* bytes, uint8_t length);
// Milliseconds since start-up, wrapping.
uint32_t BoardMillis();
// A new reading of the keys' voltage (0..1023) since the last call: true with *reading.
bool BoardKeyReading(uint16_t* reading);
// The encoder's detents since the last call (clockwise positive), and whether its push
// was down at the last reading of the keys (BoardKeyReading).
int8_t BoardTurns();
bool BoardPushDown();
// The encoder's kind, as the setup has it (panel_setup.h).
void EncoderSet(DetentSetting detents);
// Makes the display show the screen (only the characters that changed are written). The
// I2C display takes a while (a byte costs 0.09 ms on the bus): it writes on from the
// screen in the background, so the screen stays where it is until the next call.
void DisplayShow(const Screen& screen);
// The display is the I2C panel's (a backpack answered at start), not the shield's.
bool DisplayOnBus();
// The EEPROM's bytes from an address on (1,024 on the ATmega328P; a fresh chip reads 0xFF).
// Writes are queued and done in the background, in the order they were asked for, each
// byte only when it differs; a read waits for them. A write of at most kStoreWriteRoom
// bytes takes kStoreWriteCost bytes of the queue besides its own, and is queued at once
// when the queue has room for it, or else once the writes before it have ended. A whole
// record's three writes (stored_record.h) fit at once.
constexpr uint8_t kStoreWriteRoom = 16;
constexpr uint8_t kStoreWriteCost = 2;
constexpr uint8_t kStoreQueueRoom = 3 * kStoreWriteCost + kStoreWriteRoom + 1;
// Between accesses the EEPROM's address register rests here, so that a write the chip
// makes outside its rated conditions (supply falling below what 16 MHz needs) lands on no
// record. 0 is also where the register points after a reset: no record is kept there.
constexpr uint16_t kStoreParkAt = 0;
void StoreRead(uint16_t at, uint8_t* bytes, uint8_t length);
void StoreWrite(uint16_t at, const uint8_t* bytes, uint8_t length);
// Whether a queued write has yet to end.
bool StoreWriting();

// Settings kept in the EEPROM across resets and flashing, each as a record: a format
// byte, the payload, and a CRC-16 over both (high byte first).
//
// A write can be cut at any byte: a program opening the port resets the Uno, and an
// unplug can come at any moment. So a record is written in two phases: its format byte
// is made invalid first, then the payload and the CRC are written, and the format byte is
// set last. A cut leaves the old record whole, the new one whole, or no valid record;
// the CRC catches what the format byte cannot, any two bytes changed by wear or a stray
// write (checked for every pair of bytes of a record as long as kRecordRoom).
#pragma once
#include <stdint.h>

#include "board_io.h"

// A record's bytes at most: format byte, payload and CRC.
constexpr uint8_t kRecordRoom = kStoreWriteRoom;
constexpr uint8_t kRecordPayloadRoom = kRecordRoom - 3;
// Where the records live: a room each, none at the parked address (board_io.h).
constexpr uint16_t kKeyLadderRecordAt = 16;
constexpr uint16_t kSetupRecordAt = kKeyLadderRecordAt + kRecordRoom;
static_assert(kKeyLadderRecordAt >= kStoreParkAt + 1, "no record where the address register rests");
// A format byte no record has: as the EEPROM reads when erased.
constexpr uint8_t kNoRecord = 0xFF;
// The three writes of a record fit the store's queue at once.
static_assert(kStoreQueueRoom >= 3 * kStoreWriteCost + kRecordRoom + 1, "a record's writes queue at once");

// The CRC-16 (polynomial 0xF4F5, from 0xFFFF, most significant bit first) of the bytes.
uint16_t RecordCrc(const uint8_t* bytes, uint8_t length);

// The payload of the record at `at` when its format byte is `format` and its CRC holds:
// true, and the payload copied; false, and the payload untouched, otherwise.
bool RecordRead(uint16_t at, uint8_t format, uint8_t* payload, uint8_t length);
// Starts writing the record (done in the background; RecordWritten says when it ended).
// One record at a time: the store's queue holds one record's writes (and an erase), and
// a write that finds no room waits in the main loop for the queue to empty, up to 45 ms
// in which the line's receive ring overflows. Ask for another once RecordWritten().
void RecordWrite(uint16_t at, uint8_t format, const uint8_t* payload, uint8_t length);
// Makes the record at `at` invalid: its format byte becomes kNoRecord.
void RecordErase(uint16_t at);
// Whether every record write asked for has ended.
bool RecordWritten();

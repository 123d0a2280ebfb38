#include "stored_record.h"

namespace {

// Found by search for a 16-bit polynomial under which no two changed bytes cancel
// within 255 bytes; the usual ones (0x1021, 0x8005) miss such pairs two bytes apart.
constexpr uint16_t kCrcPolynomial = 0xF4F5;

}  // namespace

uint16_t RecordCrc(const uint8_t* bytes, uint8_t length) {
  uint16_t crc = 0xFFFF;
  for (uint8_t i = 0; i < length; i++) {
    crc = static_cast<uint16_t>(crc ^ bytes[i] << 8);
    for (uint8_t bit = 0; bit < 8; bit++) {
      crc = static_cast<uint16_t>(crc & 0x8000 ? (crc << 1) ^ kCrcPolynomial : crc << 1);
    }
  }
  return crc;
}

bool RecordRead(uint16_t at, uint8_t format, uint8_t* payload, uint8_t length) {
  if (length > kRecordPayloadRoom || format == kNoRecord) return false;
  uint8_t record[kRecordRoom];
  const uint8_t crcAt = static_cast<uint8_t>(1 + length);
  StoreRead(at, record, static_cast<uint8_t>(crcAt + 2));
  const uint16_t crc = static_cast<uint16_t>(record[crcAt] << 8 | record[crcAt + 1]);
  if (record[0] != format || crc != RecordCrc(record, crcAt)) return false;
  for (uint8_t i = 0; i < length; i++) payload[i] = record[1 + i];
  return true;
}

void RecordWrite(uint16_t at, uint8_t format, const uint8_t* payload, uint8_t length) {
  if (length > kRecordPayloadRoom || format == kNoRecord) return;
  uint8_t record[kRecordRoom];
  record[0] = format;
  for (uint8_t i = 0; i < length; i++) record[1 + i] = payload[i];
  const uint8_t crcAt = static_cast<uint8_t>(1 + length);
  const uint16_t crc = RecordCrc(record, crcAt);
  record[crcAt] = static_cast<uint8_t>(crc >> 8);
  record[crcAt + 1] = static_cast<uint8_t>(crc);
  RecordErase(at);
  StoreWrite(static_cast<uint16_t>(at + 1), record + 1, static_cast<uint8_t>(crcAt + 1));
  StoreWrite(at, record, 1);
}

void RecordErase(uint16_t at) {
  const uint8_t none = kNoRecord;  // on the stack: a constant's address would put it in RAM
  StoreWrite(at, &none, 1);
}

bool RecordWritten() { return !StoreWriting(); }

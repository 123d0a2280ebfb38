// Records in the EEPROM: a CRC that no two changed bytes get past, and a write that a
// reset or an unplug may cut after any byte without leaving a mix that reads as valid.
#include "logic/stored_record.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_board.h"
#include "logic/key_ladder.h"

namespace {

constexpr uint16_t kAt = kSetupRecordAt;
constexpr uint8_t kFormat = 0x21;

// A record's bytes as they stand in the EEPROM.
Bytes RecordBytes(const Bytes& payload, uint8_t format = kFormat) {
  Bytes record = {format};
  record.insert(record.end(), payload.begin(), payload.end());
  const uint16_t crc = RecordCrc(record.data(), static_cast<uint8_t>(record.size()));
  record.push_back(static_cast<uint8_t>(crc >> 8));
  record.push_back(static_cast<uint8_t>(crc));
  return record;
}

// What changing byte i by `change` does to a record's CRC check: the CRC over the
// changed record XOR the stored CRC, changed too when i is one of the CRC's bytes.
uint16_t Syndrome(const Bytes& record, uint8_t i, uint8_t change) {
  Bytes changed = record;
  changed[i] ^= change;
  const uint8_t n = kRecordRoom - 2;
  return static_cast<uint16_t>(RecordCrc(changed.data(), n) ^ (changed[n] << 8 | changed[n + 1]));
}

// Any two bytes of a record as long as the room, changed in any way: the CRC no longer
// holds. The check is affine over the bits (a CRC's XORs), so two changes together give
// the XOR of their syndromes and go unseen only when those are equal: every pair of
// positions and all 255 x 255 changes of each (about 8 million records) are compared
// through one syndrome per byte and change. That the check is affine is tested too: one
// change gives one syndrome whatever the record.
TEST(StoredRecord, NoTwoChangedBytesGetPastTheCrc) {
  Bytes record(kRecordRoom - 2);
  for (size_t i = 0; i < record.size(); i++) record[i] = static_cast<uint8_t>(0x35 * i + 7);
  record = RecordBytes(Bytes(record.begin() + 1, record.end()), record[0]);
  Bytes other = RecordBytes(Bytes(kRecordRoom - 3, 0xC3), 0x5A);
  std::vector<std::vector<uint16_t>> syndromes(kRecordRoom, std::vector<uint16_t>(256));
  for (uint8_t i = 0; i < kRecordRoom; i++) {
    for (int a = 1; a < 256; a++) {
      syndromes[i][a] = Syndrome(record, i, static_cast<uint8_t>(a));
      ASSERT_EQ(syndromes[i][a], Syndrome(other, i, static_cast<uint8_t>(a)));
      ASSERT_NE(syndromes[i][a], 0) << "one byte changed";
    }
  }
  long missed = 0;
  for (uint8_t i = 0; i < kRecordRoom; i++) {
    std::vector<bool> seen(65536);
    for (int a = 1; a < 256; a++) seen[syndromes[i][a]] = true;
    for (uint8_t j = static_cast<uint8_t>(i + 1); j < kRecordRoom; j++) {
      for (int b = 1; b < 256; b++) missed += seen[syndromes[j][b]];
    }
  }
  EXPECT_EQ(missed, 0);
}

TEST(StoredRecord, AWrittenRecordReadsBackAndAnyOtherDoesNot) {
  const Bytes payload = {1, 2, 3, 250};
  struct Case {
    const char* what;
    void (*after)();
    bool valid;
  } cases[] = {
      // changed bytes: the CRC's test above, and the calibration's (keys_test.cpp)
      {"as written", [] {}, true},
      {"erased", [] { RecordErase(kAt); }, false},
      {"another record's write beside it", [] { RecordWrite(kKeyLadderRecordAt, kFormat, Bytes(10, 9).data(), 10); },
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ResetBoard();
    RecordWrite(kAt, kFormat, payload.data(), static_cast<uint8_t>(payload.size()));
    StoreFinish();
    c.after();
    Bytes read(payload.size(), 0xEE);
    EXPECT_EQ(RecordRead(kAt, kFormat, read.data(), static_cast<uint8_t>(read.size())), c.valid);
    EXPECT_EQ(read, c.valid ? payload : Bytes(payload.size(), 0xEE)) << "untouched unless valid";
    EXPECT_FALSE(RecordRead(kAt, kFormat + 1, read.data(), static_cast<uint8_t>(read.size())));
  }
}

// The record's write cut after each byte that reached the EEPROM: the record then reads
// as the old one whole, the new one whole, or not at all; and whenever its format byte
// is valid the bytes behind it are all of one record, whatever the CRC would say.
TEST(StoredRecord, AWriteCutAfterAnyByteLeavesOneRecordWholeOrNone) {
  const Bytes a = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0x90, 0xA0};
  const Bytes b = {0x11, 0x20, 0x31, 0x40, 0x51, 0x60, 0x71, 0x80, 0x91, 0xA0};
  struct Case {
    const char* what;
    std::vector<Bytes> before;  // records written before, in order (empty: none)
    std::vector<Bytes> after;   // the write cut (empty: an erase)
    int stalls;                 // writes that had to wait for the queue to empty
  } cases[] = {
      {"old to new", {a}, {b}, 0},
      {"new to old", {b}, {a}, 0},
      {"a fresh EEPROM to a record", {}, {a}, 0},
      {"a record erased", {a}, {}, 0},
      {"a record written again the same", {a}, {a}, 0},
      {"two writes asked for, the second before the first ended", {a}, {b, a}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ResetBoard();
    for (const Bytes& p : c.before) RecordWrite(kAt, kFormat, p.data(), static_cast<uint8_t>(p.size()));
    StoreFinish();
    const Bytes start = Board.eeprom;
    Board.storeLog.clear();
    Board.storeStalls = 0;
    for (const Bytes& p : c.after) RecordWrite(kAt, kFormat, p.data(), static_cast<uint8_t>(p.size()));
    if (c.after.empty()) RecordErase(kAt);
    StoreFinish();
    const std::vector<StoredByte> log = Board.storeLog;
    for (size_t cut = 0; cut <= log.size(); cut++) {
      SCOPED_TRACE("cut after " + std::to_string(cut) + " of " + std::to_string(log.size()) + " bytes");
      Board.eeprom = start;
      for (size_t k = 0; k < cut; k++) Board.eeprom[log[k].at] = log[k].value;
      const Bytes image(Board.eeprom.begin() + kAt, Board.eeprom.begin() + kAt + 1 + a.size() + 2);
      if (image[0] == kFormat) EXPECT_TRUE(image == RecordBytes(a) || image == RecordBytes(b)) << "a mix";
      Bytes read(a.size());
      if (RecordRead(kAt, kFormat, read.data(), static_cast<uint8_t>(read.size()))) {
        EXPECT_TRUE(read == a || read == b);
      }
    }
    EXPECT_EQ(Board.storeStalls, c.stalls);
  }
}

}  // namespace

// The board under the panel's logic, on a PC: a line whose incoming bytes a test scripts
// and whose outgoing frames it reads, a clock it moves, the keys' voltage it sets and the
// screen the panel last showed, and an EEPROM that keeps what was written until the test
// resets the board. The EEPROM writes as the chip does: the queued bytes in order, each
// only when it differs, 3.4 ms each on the board's clock; every byte written is logged,
// so that a test can cut the write after any of them.
#pragma once
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "logic/encoder.h"
#include "logic/screen.h"
#include "wire/status_payload.h"

using Bytes = std::vector<uint8_t>;

struct SentFrame {
  Bytes bytes;
  uint32_t atMs;
  uint32_t afterStatusFrames;  // status frames the line had brought when it was sent
};

struct StoredByte {
  uint16_t at;
  uint8_t value;
};

struct FakeBoard {
  std::deque<uint8_t> incoming;
  uint32_t statusFramesIn = 0;  // whole status frames handed to the panel so far
  std::vector<SentFrame> sent;
  bool sendRefused = false;
  uint32_t nowMs = 0;
  uint16_t keyReading = 1023;  // no key
  Screen shown = {};
  bool onBus = false;  // the display is the I2C panel's
  int8_t turns = 0;    // the encoder's detents not yet taken
  bool pushDown = false;
  DetentSetting detents = DetentSetting::kAuto;  // as the setup last set the encoder
  int shows = 0;
  Bytes eeprom = Bytes(1024, 0xFF);  // as a fresh chip's
  int storeWrites = 0;                // StoreWrite calls
  std::vector<StoredByte> storeQueue;  // asked for, not yet written
  std::vector<StoredByte> storeLog;    // written, in order
  uint64_t storeFreeAtUs = 0;          // when the byte being written ends
  int storeQueueUse = 0;               // the driver's queue: bytes in use until it empties
  int storeStalls = 0;                 // writes that found the driver's queue full (the main loop waits)
};
extern FakeBoard Board;

void ResetBoard();
// The queued EEPROM writes ended, as if their time had passed.
void StoreFinish();

// A status payload from its fields (92 bytes).
struct StatusFields {
  uint8_t playState = kStopped;
  uint8_t shuffle = 0;
  int8_t minutes = 0, seconds = 0;
  uint16_t length = 0, position = 0;
  std::string title;
  std::string folder = "\\Music\\";
};
Bytes StatusBytes(const StatusFields& fields);
// The whole frame of a payload, as the plug-in sends it.
Bytes FrameOf(const Bytes& payload, uint8_t sequence = 0);

// A row of the shown screen as text; glyph slots show as the board's glyphs do.
std::string ShownRow(int row);

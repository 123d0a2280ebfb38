#include "fake_board.h"

#include <algorithm>
#include <cstdlib>

#include "logic/board_io.h"
#include "wire/frame_hunt.h"

FakeBoard Board;

void ResetBoard() {
  Board = FakeBoard{};
  SetDisplaySize(DisplaySize::k16x2);
}

Bytes StatusBytes(const StatusFields& f) {
  Bytes p(kStatusLength, 0);
  p[0] = kStatusLetter;
  p[4] = f.playState;
  p[5] = f.shuffle;
  p[6] = static_cast<uint8_t>(f.minutes);
  p[7] = static_cast<uint8_t>(f.seconds);
  p[8] = static_cast<uint8_t>(f.length >> 8);
  p[9] = static_cast<uint8_t>(f.length);
  p[10] = static_cast<uint8_t>(f.position >> 8);
  p[11] = static_cast<uint8_t>(f.position);
  for (size_t i = 0; i < f.title.size() && i < 39; i++) p[12 + i] = static_cast<uint8_t>(f.title[i]);
  for (size_t i = 0; i < f.folder.size() && i < 39; i++) p[52 + i] = static_cast<uint8_t>(f.folder[i]);
  return p;
}

Bytes FrameOf(const Bytes& payload, uint8_t sequence) {
  Bytes frame(payload.size() + kFrameOverhead);
  frame.resize(EncodeFrame(payload.data(), static_cast<uint8_t>(payload.size()), sequence, frame.data(),
                           static_cast<uint16_t>(frame.size())));
  return frame;
}

std::string ShownRow(int row) {
  static const char* const kGlyphs[kGlyphCount] = {"▶", "‖", "■", "⇄", "↑", "↓", "♪", "…"};
  std::string text;
  for (int column = 0; column < Columns(); column++) {
    const char c = Board.shown.cells[row][column];
    if (static_cast<uint8_t>(c) < kGlyphCount) {
      text += kGlyphs[static_cast<uint8_t>(c)];
    } else {
      text += c;
    }
  }
  return text;
}

// ---- board_io.h ----

bool LineTakeByte(uint8_t* byte) {
  if (Board.incoming.empty()) return false;
  *byte = Board.incoming.front();
  Board.incoming.pop_front();
  return true;
}

bool LineSend(const uint8_t* bytes, uint8_t length) {
  if (length > kLineSendRoom) std::abort();  // the UART's frame would not hold it
  if (Board.sendRefused) return false;
  Board.sent.push_back({Bytes(bytes, bytes + length), Board.nowMs, Board.statusFramesIn});
  return true;
}

uint32_t BoardMillis() { return Board.nowMs; }

bool BoardKeyReading(uint16_t* reading) {
  *reading = Board.keyReading;
  return true;
}

namespace {

constexpr uint64_t kByteWriteUs = 3400;

// Writes the queued bytes whose time has come (all of them with `all`), as the chip's
// ready interrupt would have.
void SettleStore(bool all) {
  const uint64_t nowUs = uint64_t{Board.nowMs} * 1000;
  size_t n = 0;
  for (; n < Board.storeQueue.size(); n++) {
    const StoredByte& b = Board.storeQueue[n];
    if (Board.eeprom.at(b.at) == b.value) continue;
    if (!all && Board.storeFreeAtUs + kByteWriteUs > nowUs) break;
    Board.storeFreeAtUs += kByteWriteUs;
    Board.eeprom.at(b.at) = b.value;
    Board.storeLog.push_back(b);
  }
  Board.storeQueue.erase(Board.storeQueue.begin(), Board.storeQueue.begin() + static_cast<long>(n));
  if (Board.storeQueue.empty()) Board.storeQueueUse = 0;
}

}  // namespace

void StoreFinish() { SettleStore(true); }

void StoreRead(uint16_t at, uint8_t* bytes, uint8_t length) {
  SettleStore(true);  // the driver waits for the writes
  for (uint8_t i = 0; i < length; i++) bytes[i] = Board.eeprom.at(at + i);
}

void StoreWrite(uint16_t at, const uint8_t* bytes, uint8_t length) {
  if (length > kStoreWriteRoom) std::abort();  // the board would cut it short
  SettleStore(false);
  if (Board.storeQueueUse + kStoreWriteCost + length > kStoreQueueRoom) {
    Board.storeStalls++;
    SettleStore(true);
  }
  if (Board.storeQueue.empty()) Board.storeFreeAtUs = std::max(Board.storeFreeAtUs, uint64_t{Board.nowMs} * 1000);
  for (uint8_t i = 0; i < length; i++) Board.storeQueue.push_back({static_cast<uint16_t>(at + i), bytes[i]});
  Board.storeQueueUse += kStoreWriteCost + length;
  Board.storeWrites++;
}

bool DisplayOnBus() { return Board.onBus; }

int8_t BoardTurns() {
  const int8_t turns = Board.turns;
  Board.turns = 0;
  return turns;
}

bool BoardPushDown() { return Board.pushDown; }

bool StoreWriting() {
  SettleStore(false);
  return !Board.storeQueue.empty();
}

void EncoderSet(DetentSetting detents) { Board.detents = detents; }

void DisplayShow(const Screen& screen) {
  Board.shown = screen;
  Board.shows++;
}

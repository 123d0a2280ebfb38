#include "fake_board.h"

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
  if (Board.sendRefused) return false;
  Board.sent.push_back({Bytes(bytes, bytes + length), Board.nowMs, Board.statusFramesIn});
  return true;
}

uint32_t BoardMillis() { return Board.nowMs; }

bool BoardKeyReading(uint16_t* reading) {
  *reading = Board.keyReading;
  return true;
}

void StoreRead(uint16_t at, uint8_t* bytes, uint8_t length) {
  for (uint8_t i = 0; i < length; i++) bytes[i] = Board.eeprom.at(at + i);
}

void StoreWrite(uint16_t at, const uint8_t* bytes, uint8_t length) {
  if (length > kStoreWriteRoom) std::abort();  // the board would cut it short
  for (uint8_t i = 0; i < length; i++) Board.eeprom.at(at + i) = bytes[i];
  Board.storeWrites++;
}

bool DisplayOnBus() { return Board.onBus; }

int8_t BoardTurns() {
  const int8_t turns = Board.turns;
  Board.turns = 0;
  return turns;
}

bool BoardPushDown() { return Board.pushDown; }

void DisplayShow(const Screen& screen) {
  Board.shown = screen;
  Board.shows++;
}

#include "wire.h"

Bytes EncodeFrame(const Bytes& payload, uint8_t sequence) {
  Bytes frame(payload.size() + 6);
  frame[0] = 0x55;
  frame[1] = 0xAA;
  frame[2] = sequence;
  frame[3] = static_cast<uint8_t>(payload.size());
  for (size_t i = 0; i < payload.size(); i++) frame[4 + i] = payload[i];
  frame[4 + payload.size()] = 0xBB;
  frame[5 + payload.size()] = 0xCC;
  return frame;
}

std::optional<Frame> TakeFrame(Bytes& stream, int* broken) {
  for (;;) {
    size_t start = 0;
    while (start + 1 < stream.size() && !(stream[start] == 0x55 && stream[start + 1] == 0xAA)) start++;
    stream.erase(stream.begin(), stream.begin() + static_cast<long>(start));
    if (stream.size() < 4) return std::nullopt;
    const size_t length = stream[3];
    if (stream.size() < length + 6) return std::nullopt;
    if (stream[4 + length] != 0xBB || stream[5 + length] != 0xCC) {
      if (broken) (*broken)++;
      stream.erase(stream.begin(), stream.begin() + 2);
      continue;
    }
    Frame frame;
    frame.sequence = stream[2];
    frame.payload.assign(stream.begin() + 4, stream.begin() + 4 + static_cast<long>(length));
    stream.erase(stream.begin(), stream.begin() + static_cast<long>(length + 6));
    return frame;
  }
}

namespace {

std::string TextField(const Bytes& p, size_t at) {
  std::string text;
  for (size_t i = at; i < at + 40 && p[i] != 0; i++) text.push_back(static_cast<char>(p[i]));
  return text;
}

}  // namespace

std::optional<Status> DecodeStatus(const Bytes& p) {
  if (p.size() != kStatusLength || p[0] != 'B') return std::nullopt;
  Status s;
  s.playState = p[4];
  s.shuffle = p[5];
  s.minutes = static_cast<int8_t>(p[6]);
  s.seconds = static_cast<int8_t>(p[7]);
  s.length = static_cast<uint16_t>(p[8] << 8 | p[9]);
  s.position = static_cast<uint16_t>(p[10] << 8 | p[11]);
  s.title = TextField(p, 12);
  s.folder = TextField(p, 52);
  s.titleTerminated = p[51] == 0;
  s.folderTerminated = p[91] == 0;
  return s;
}

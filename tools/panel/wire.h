// The panel's side of the wire format, written from the frame and status tables
// rather than from the plug-in's codec, so that a mistake made the same way on both
// sides cannot pass unseen.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// 0x55 0xAA, sequence, length, payload, 0xBB 0xCC.
Bytes EncodeFrame(const Bytes& payload, uint8_t sequence = 0);

struct Frame {
  uint8_t sequence = 0;
  Bytes payload;
  double atMs = 0;  // when the panel had it whole, on the test's clock
};

// Takes one whole frame off the front of `stream`, dropping bytes that cannot begin
// one; nullopt when no whole frame is there yet. A frame with a wrong end marker is
// dropped and counted in *broken.
std::optional<Frame> TakeFrame(Bytes& stream, int* broken);

// The status payload, field by field.
struct Status {
  uint8_t playState;
  uint8_t shuffle;
  int8_t minutes;
  int8_t seconds;
  uint16_t length;
  uint16_t position;
  std::string title;
  std::string folder;
  bool titleTerminated;   // byte 51 is NUL
  bool folderTerminated;  // byte 91 is NUL
};
constexpr size_t kStatusLength = 92;
std::optional<Status> DecodeStatus(const Bytes& payload);

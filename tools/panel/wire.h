// The panel's side of the wire for a program on a PC: frames and the status payload as
// vectors and strings, over the panel wire codec that the firmware uses too
// (firmware/quillbox_panel/src/wire/). That codec is written from the frame and status
// tables rather than from the plug-in's codec, so that a mistake made the same way on
// both sides cannot pass unseen.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "wire/frame_hunt.h"
#include "wire/status_payload.h"

using Bytes = std::vector<uint8_t>;

// 0x55 0xAA, sequence, length, payload, 0xBB 0xCC. A payload above 250 bytes gives no frame.
Bytes EncodeFrame(const Bytes& payload, uint8_t sequence = 0);

struct Frame {
  uint8_t sequence = 0;
  Bytes payload;
  double atMs = 0;  // when the panel had it whole, on the test's clock
};

// Takes one whole frame off the front of `stream`, dropping bytes that cannot begin
// one; nullopt when no whole frame is there yet (the stream then holds only what may
// still become one). A candidate with a length above 250 or a wrong end marker is
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
std::optional<Status> DecodeStatus(const Bytes& payload);

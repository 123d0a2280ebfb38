// Finds whole frames in one direction of the line, byte by byte, with the time of
// each frame's first and last byte. Written from the wire table (55 AA, sequence,
// length up to 250, payload, BB CC; no checksum), not from the plug-in's codec or the
// firmware's. The markers may occur inside a payload: after a frame whose end marker is
// wrong, the hunt starts again one byte after that frame's start.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr size_t kMaxPayload = 250;
constexpr size_t kMaxFrame = kMaxPayload + 6;
static_assert(kMaxFrame == 256, "a frame fits the hunt's 256 bytes");

struct MeteredFrame {
  size_t length = 0;  // of the payload
  int first = -1;     // payload byte 0 (the command letter), -1 for an empty payload
  int sub = -1;       // payload byte 2 (a command's sub-command), -1 when there is none
  double firstMs = 0; // when the frame's first byte passed
  double lastMs = 0;  // when its last byte passed
};

class FrameHunt {
 public:
  // Takes one byte of the line; returns the frames it completed (almost always none or one).
  std::vector<MeteredFrame> Feed(uint8_t byte, double atMs);
  void Clear() { have_ = 0; }

 private:
  bool TakeFrame(MeteredFrame* frame);
  void Drop(size_t count);
  uint8_t bytes_[kMaxFrame] = {};
  double at_[kMaxFrame] = {};
  size_t have_ = 0;
};

#include "frame_hunt.h"

#include <cstring>

std::vector<MeteredFrame> FrameHunt::Feed(uint8_t byte, double atMs) {
  std::vector<MeteredFrame> found;
  if (have_ == kMaxFrame) Drop(1);  // cannot happen: a start with a length is settled by then
  bytes_[have_] = byte;
  at_[have_] = atMs;
  have_++;
  MeteredFrame frame;
  while (TakeFrame(&frame)) found.push_back(frame);
  return found;
}

// Settles the front of the buffer: drops what cannot start a frame, and takes a whole
// frame off when one is there. false when the buffer holds only the start of a frame.
bool FrameHunt::TakeFrame(MeteredFrame* frame) {
  for (;;) {
    if (have_ >= 1 && bytes_[0] != 0x55) { Drop(1); continue; }
    if (have_ >= 2 && bytes_[1] != 0xAA) { Drop(1); continue; }
    if (have_ >= 4 && bytes_[3] > kMaxPayload) { Drop(1); continue; }
    if (have_ < 4) return false;
    const size_t length = bytes_[3];
    if (have_ < length + 6) return false;
    if (bytes_[4 + length] != 0xBB || bytes_[5 + length] != 0xCC) { Drop(1); continue; }
    frame->length = length;
    frame->first = length >= 1 ? bytes_[4] : -1;
    frame->sub = length >= 3 ? bytes_[6] : -1;
    frame->firstMs = at_[0];
    frame->lastMs = at_[length + 5];
    Drop(length + 6);
    return true;
  }
}

void FrameHunt::Drop(size_t count) {
  std::memmove(bytes_, bytes_ + count, have_ - count);
  std::memmove(at_, at_ + count, (have_ - count) * sizeof at_[0]);
  have_ -= count;
}

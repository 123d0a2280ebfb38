// A scripted serial line under the frame codec, with its own clock.
//
// Bytes queued for the plug-in arrive at a given time; a read takes what has arrived
// within its wait and, like Win32 with total time-outs, returns a partial count only
// after the whole wait. Every write is recorded as one chunk.
#pragma once
#include <cstdint>
#include <deque>
#include <vector>

#include "panel/wire.h"  // frames as the panel builds them

struct FakeLine {
  struct Byte {
    uint8_t value;
    uint32_t arrivesAtMs;
  };
  std::deque<Byte> inbound;
  std::vector<std::vector<uint8_t>> writes;
  std::vector<uint32_t> readWaits;   // the wait of every read, in order
  uint32_t nowMs = 0;
  int failWriteNumber = -1;          // this write (0-based) comes back short
  int shortCount = 0;                // ... with this count (-1: the write fails)

  void Queue(const std::vector<uint8_t>& bytes, uint32_t atMs = 0);
  // Everything written, as the panel would see it on the wire.
  std::vector<uint8_t> Written() const;
  // Splits what was written into frames (start marker to end marker, by length byte).
  std::vector<std::vector<uint8_t>> WrittenFrames() const;
};

extern FakeLine Line;

void ResetFakeLine();

// A scripted serial line under the frame codec, with its own clock.
//
// Bytes queued for the plug-in arrive at a given time; a read takes what has arrived
// within its wait and, like Win32 with total time-outs, returns a partial count only
// after the whole wait. Every write is recorded as one chunk.
//
// The port can also go away as a pulled USB adapter does: while unplugged, every call on
// the open handle fails with failCode and every open fails; once plugged back, only a
// new open works again. An open finishes as it begins, after a while, or hangs, as one
// on a Bluetooth port whose device is off does, until the test ends it.
//
// A call that fails with 995 stops the line as a driver set to abort on line errors
// does: every call fails with 995 from then on, until the line status is asked.
#pragma once
#include <cstddef>
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
  int shortCount = 0;                // ... with this count (-1: the write fails with failCode)
  int failReadNumber = -1;           // this read (0-based) fails with failCode
  std::vector<int> lineErrorReads;   // these reads (0-based) are broken off by line noise (995)
  bool lineStopped = false;          // a 995 stopped the line until the line status is asked

  bool open = true;                  // as start-up leaves it
  bool plugged = true;
  bool deadHandle = false;           // the open handle outlived an unplug: it fails for ever
  uint32_t failCode = 22;
  uint32_t lineStatusCode = 0;       // the line status check fails with this code, when not 0
  std::vector<uint32_t> openTries;   // the clock at every open begun
  bool openBlocks = false;           // an open begun now hangs until FinishOpen()
  uint32_t openTakesMs = 0;          // ... or, when it does not, finishes this long after it began,
                                     // seen by a PortPause
  bool openHanging = false;
  uint32_t openedPort = 0;           // the port and rate of the last open begun
  uint32_t openedBaud = 0;
  int closes = 0;
  int unusedCloses = 0;              // opened ports that nobody took, closed
  int callsWhileClosed = 0;          // reads, writes and line checks without an open port

  void Queue(const std::vector<uint8_t>& bytes, uint32_t atMs = 0);
  void Queue(const uint8_t* bytes, size_t size, uint32_t atMs);
  // Everything written, as the panel would see it on the wire.
  std::vector<uint8_t> Written() const;
  // Splits what was written into frames (start marker to end marker, by length byte).
  std::vector<std::vector<uint8_t>> WrittenFrames() const;
  // The adapter is pulled out: the open handle is dead from now on.
  void Unplug();
  // The hanging open ends, with a port when the adapter is plugged in by then.
  void FinishOpen();
};

extern FakeLine Line;

void ResetFakeLine();

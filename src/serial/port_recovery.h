// Getting the panel's port back after it went away, as a USB adapter does when it is
// pulled out: from then on every call on its handle fails, even once it is plugged back,
// and only a new open works.
//
// A read, a write or the line status that fails (rather than merely times out) marks the
// port gone; the dead handle is closed at once. The tick then tries to open the same
// port again, at most once a second and at most once per tick, until it opens; the lists,
// the cursor, the volume and the pending reply are all left as they were.
#pragma once
#include <cstdint>

constexpr uint32_t kReopenIntervalMs = 1000;

// Whether the system's code of a failed call means the port is gone: any code but those
// of a read or write that only ran out of time.
bool FailureMeansPortGone(uint32_t code);

// Whether another open is due at nowMs when the last one was tried at lastTryMs, on a
// millisecond clock that wraps.
bool ReopenDue(uint32_t nowMs, uint32_t lastTryMs);

// Start-up has opened `port` at `baud`: that is the port to get back when it goes.
void WatchPanelPort(uint32_t port, uint32_t baud);

// The codec reports the system's code of every failed read or write here.
void NotePortFailure(uint32_t code);

// Asked by the tick before it touches the line: checks an open port's line status, and
// while the port is gone tries to open it again when that is due. True when the line can
// be used in this tick.
bool PanelPortReady();

// What happened to the port, for tests and a debug build; nobody is told.
struct PortCounters {
  uint32_t losses;         // an open port found gone
  uint32_t quietFailures;  // failed calls that had only run out of time
  uint32_t reopenTries;    // opens tried while it was gone
  uint32_t reopens;        // ... that got it back
};
extern PortCounters PortStats;

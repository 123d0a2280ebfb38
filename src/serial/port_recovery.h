// Getting the panel's port back after it went away, as a USB adapter does when it is
// pulled out: from then on every call on its handle fails, even once it is plugged back,
// and only a new open works.
//
// Only the calls the tick needs decide that the port is gone: a read or a write that
// fails (rather than merely times out) closes the dead handle at once. Two failures do
// not: a line-status call, which some drivers (virtual ports, some USB and Bluetooth
// ones) do not have at all, and error 995, which a driver set to abort on line errors
// returns after noise on the line until the error is cleared. After 995 the error is
// cleared and the tick goes on; only calls that keep failing with it make the port gone.
//
// While it is gone the tick begins an open of the same port at most once a second, on a
// helper thread (port_opener.h), and takes the port on the tick after it has opened; the
// lists, the cursor, the volume and the pending reply are all left as they were.
#pragma once
#include <cstdint>

constexpr uint32_t kReopenIntervalMs = 1000;
// Calls in a row failing with 995, each followed by clearing the line's error, after
// which the port counts as gone.
constexpr uint32_t kAbortsBeforeGone = 3;

// Whether the system's code of a failed call means the port is gone, or may be (995):
// any code but those of a read or write that only ran out of time.
bool FailureMeansPortGone(uint32_t code);

// Whether another open is due at nowMs when the last one was tried at lastTryMs, on a
// millisecond clock that wraps.
bool ReopenDue(uint32_t nowMs, uint32_t lastTryMs);

// Start-up has opened `port` at `baud`: that is the port to get back when it goes.
void WatchPanelPort(uint32_t port, uint32_t baud);

// The codec reports every read and write here: the system's code of each that failed,
// and each that did not.
void NotePortFailure(uint32_t code);
void NotePortSuccess();

// Asked by the tick before it touches the line: asks an open port's line status (which
// clears a line error), and while the port is gone takes or begins an open. True when
// the line can be used in this tick.
bool PanelPortReady();

// What happened to the port, for tests and a debug build; nobody is told.
struct PortCounters {
  uint32_t losses;              // an open port found gone
  uint32_t quietFailures;       // failed calls that had only run out of time
  uint32_t lineErrors;          // calls broken off by a line error (995), then cleared
  uint32_t lineStatusFailures;  // line-status calls failing where they had worked
  uint32_t reopenTries;         // opens begun while it was gone
  uint32_t reopens;             // ... that got it back
};
extern PortCounters PortStats;

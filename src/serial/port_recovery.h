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
// lists, the cursor, the volume and the pending reply are all left as they were. A
// second passes between one open's failure and the next one's start too: a Bluetooth
// open can block for 5 to 20 s before it fails, and must not page the adapter again at
// once.
//
// After every open the line stays silent for kQuietAfterOpenMs. Opening the port sets
// DTR, which resets an Uno into its bootloader; that bootloader (optiboot 4.4, as the
// Uno ships it) takes a status frame's bytes for programmer commands, and a `d` among
// them erases a page of the panel's firmware. Silent, it starts the firmware about
// 1.5 s after the reset: the status frames begin once it has.
#pragma once
#include <cstdint>

constexpr uint32_t kReopenIntervalMs = 1000;
// 1.4 s of bootloader (its LED flashes, then a 1 s watchdog), the fuses' 65 ms start-up
// delay and the firmware's own start-up wait come to about 1.55 s on the simulated
// board: 2 s leaves a margin for slower clones.
constexpr uint32_t kQuietAfterOpenMs = 2000;
// Calls in a row failing with 995, each followed by clearing the line's error, after
// which the port counts as gone.
constexpr uint32_t kAbortsBeforeGone = 3;

// Whether the system's code of a failed call means the port is gone, or may be (995):
// any code but those of a read or write that only ran out of time.
bool FailureMeansPortGone(uint32_t code);

// Whether at least intervalMs have passed at nowMs since sinceMs, on a millisecond clock
// that wraps.
bool IntervalPassed(uint32_t nowMs, uint32_t sinceMs, uint32_t intervalMs);

// Start-up has just opened `port` at `baud`: that is the port to get back when it goes,
// and the line is quiet for the first kQuietAfterOpenMs.
void WatchPanelPort(uint32_t port, uint32_t baud);

// The codec reports every read and write here: the system's code of each that failed,
// and each that did not.
void NotePortFailure(uint32_t code);
void NotePortSuccess();

// Asked by the tick before it touches the line: asks an open port's line status (which
// clears a line error), and while the port is gone takes or begins an open. True when
// the line can be used in this tick: a port is open, and has been for kQuietAfterOpenMs.
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

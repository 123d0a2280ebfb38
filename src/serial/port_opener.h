// Opening the panel's port again off the tick's thread.
//
// An open can block: on a Bluetooth serial port whose panel is switched off it tries to
// connect for seconds. Run on the timer thread it would hold every tick of the process's
// multimedia timer, and quit, which waits for a running tick, would freeze the player's
// window. So the open runs on a helper thread and hands over a configured port; the tick
// only looks whether one has arrived, and quit never waits for the helper: a port it
// produces after quit is closed by the helper itself.
//
// The tick's thread begins and takes opens; quit abandons them once the ticks are over;
// the helper reports with PortOpenFinished. Between them only the state below changes
// hands, each step one atomic exchange.
#pragma once
#include <cstdint>

enum OpenOutcome {
  kOpenNone,     // none begun, or its outcome was taken
  kOpenUnderWay,
  kOpenFailed,
  kOpenDone,     // the port is open now
};

// Begins opening `port` at `baud` on a helper thread. False while an earlier open (even
// one that quit abandoned) is still under way, and when the helper cannot be started.
bool BeginPortOpen(uint32_t port, uint32_t baud);

// Where the open begun last stands. kOpenDone and kOpenFailed are told once: the port
// produced is the open port from then on.
OpenOutcome TakePortOpen();

// The longest the player's window thread waits for an open (start-up's, the dialog's
// check): a Bluetooth port whose panel is off tries to connect for seconds, and the
// player's window and the dialog would hang for as long.
constexpr uint32_t kWindowOpenWaitMs = 3000;

// Opens `port` at `baud` on the helper and waits for it at most waitMs, for a thread
// that must not be held long. True with the port open; an open that takes longer
// counts as failed, and its helper closes what it still produces.
bool OpenPortWithin(uint32_t port, uint32_t baud, uint32_t waitMs);

// Quit, once no tick runs any more: an open under way is left to its helper, which
// closes what it produces; a port produced but not taken is closed now.
void AbandonPortOpen();

// The helper's report: the configured port, or null when the open failed.
void PortOpenFinished(void* port);

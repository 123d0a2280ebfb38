// Notices that the panel's port is gone and opens it again.
#include "serial/port_recovery.h"

#include "serial/port_io.h"

PortCounters PortStats = {};

namespace {

// The codes of a call that only ran out of time. A quiet line normally reads 0 bytes
// without failing; some drivers fail the call with one of these instead.
constexpr uint32_t kErrorSemTimeout = 121;
constexpr uint32_t kWaitTimeout = 258;
constexpr uint32_t kErrorTimeout = 1460;

// The port start-up opened, and when an open of it was last tried.
uint32_t WatchedPort = 0;
uint32_t WatchedBaud = 0;
uint32_t LastOpenTryMs = 0;

void CheckLineStatus() {
  const uint32_t code = PortLineStatus();
  if (code != 0) NotePortFailure(code);
}

// One open at most: a tick stays about as long as it always is, and quit waits no longer.
void TryReopen() {
  const uint32_t now = PortMillis();
  if (!ReopenDue(now, LastOpenTryMs)) return;
  LastOpenTryMs = now;
  PortStats.reopenTries++;
  if (PortOpen(WatchedPort, WatchedBaud)) PortStats.reopens++;
}

}  // namespace

bool FailureMeansPortGone(uint32_t code) {
  return code != kErrorSemTimeout && code != kWaitTimeout && code != kErrorTimeout;
}

bool ReopenDue(uint32_t nowMs, uint32_t lastTryMs) { return nowMs - lastTryMs >= kReopenIntervalMs; }

void WatchPanelPort(uint32_t port, uint32_t baud) {
  WatchedPort = port;
  WatchedBaud = baud;
  LastOpenTryMs = PortMillis();
}

void NotePortFailure(uint32_t code) {
  if (!FailureMeansPortGone(code)) {
    PortStats.quietFailures++;
    return;
  }
  if (!PortIsOpen()) return;
  PortStats.losses++;
  // The handle never works again, and on Windows the device cannot come back while a
  // handle still holds it.
  PortClose();
}

bool PanelPortReady() {
  if (PortIsOpen()) CheckLineStatus();
  if (!PortIsOpen()) TryReopen();
  return PortIsOpen();
}

// Notices that the panel's port is gone and opens it again.
#include "serial/port_recovery.h"

#include "serial/port_io.h"
#include "serial/port_opener.h"

PortCounters PortStats = {};

namespace {

// The codes of a call that only ran out of time. A quiet line normally reads 0 bytes
// without failing; some drivers fail the call with one of these instead.
constexpr uint32_t kErrorSemTimeout = 121;
constexpr uint32_t kWaitTimeout = 258;
constexpr uint32_t kErrorTimeout = 1460;
// ERROR_OPERATION_ABORTED: also what every call returns after a framing, parity or
// overrun error while the driver's line setting has fAbortOnError, until it is cleared.
constexpr uint32_t kErrorOperationAborted = 995;

// The port start-up opened; when an open of it last began or failed; when the port in
// use was opened.
uint32_t WatchedPort = 0;
uint32_t WatchedBaud = 0;
uint32_t LastOpenTryMs = 0;
uint32_t OpenedAtMs = 0;

// Of the open handle: whether its line status has answered, and how many of its calls
// in a row a line error broke off.
bool LineStatusAnswers = false;
uint32_t AbortsInARow = 0;

void NewHandle() {
  LineStatusAnswers = false;
  AbortsInARow = 0;
  OpenedAtMs = PortMillis();
}

// Asks every tick, which also clears a line error that came between ticks. A driver
// without the call fails it from the start; where it has answered, a failure is counted,
// but the tick's write and read still decide whether the port is gone.
void CheckLineStatus() {
  if (PortLineStatus() == 0) {
    LineStatusAnswers = true;
  } else if (LineStatusAnswers) {
    PortStats.lineStatusFailures++;
  }
}

void BeginReopen() {
  const uint32_t now = PortMillis();
  if (!IntervalPassed(now, LastOpenTryMs, kReopenIntervalMs)) return;
  LastOpenTryMs = now;
  if (!BeginPortOpen(WatchedPort, WatchedBaud)) return;
  PortStats.reopenTries++;
}

// Takes a port the helper has opened; otherwise begins an open when one is due. Never
// waits for the helper: the port is taken on a later tick, or on this one when the
// helper was that quick.
void Reopen() {
  OpenOutcome outcome = TakePortOpen();
  if (outcome == kOpenFailed) LastOpenTryMs = PortMillis();
  if (outcome == kOpenNone || outcome == kOpenFailed) {
    BeginReopen();
    outcome = TakePortOpen();
  }
  if (outcome != kOpenDone) return;
  PortStats.reopens++;
  NewHandle();
}

}  // namespace

bool FailureMeansPortGone(uint32_t code) {
  return code != kErrorSemTimeout && code != kWaitTimeout && code != kErrorTimeout;
}

bool IntervalPassed(uint32_t nowMs, uint32_t sinceMs, uint32_t intervalMs) { return nowMs - sinceMs >= intervalMs; }

void WatchPanelPort(uint32_t port, uint32_t baud) {
  WatchedPort = port;
  WatchedBaud = baud;
  LastOpenTryMs = PortMillis();
  NewHandle();
}

void NotePortFailure(uint32_t code) {
  if (!FailureMeansPortGone(code)) {
    PortStats.quietFailures++;
    return;
  }
  if (!PortIsOpen()) return;
  if (code == kErrorOperationAborted && ++AbortsInARow < kAbortsBeforeGone) {
    PortStats.lineErrors++;
    CheckLineStatus();  // clears the error, so that the next call goes through
    return;
  }
  PortStats.losses++;
  // The handle never works again, and on Windows the device cannot come back while a
  // handle still holds it.
  PortClose();
}

void NotePortSuccess() { AbortsInARow = 0; }

bool PanelPortReady() {
  if (PortIsOpen()) CheckLineStatus();
  if (!PortIsOpen()) Reopen();
  return PortIsOpen() && IntervalPassed(PortMillis(), OpenedAtMs, kQuietAfterOpenMs);
}

// The hand-over between the tick, the helper that opens the port, and quit.
#include "serial/port_opener.h"

#include <atomic>

#include "serial/port_io.h"

namespace {

enum OpenState : int {
  kIdle,
  kRunning,    // the helper is opening
  kProduced,   // the helper left a configured port in Produced
  kRefused,    // the helper could not open it
  kAbandoned,  // quit came while the helper was opening: the helper cleans up
};

std::atomic<int> State{kIdle};
// Written by the helper before it publishes kProduced, read by whoever moves the state
// on from there.
void* Produced = nullptr;

bool Exchange(int from, int to) { return State.compare_exchange_strong(from, to); }

// How often a waiting window thread looks whether the helper has finished.
constexpr uint32_t kOpenPollMs = 10;

}  // namespace

bool BeginPortOpen(uint32_t port, uint32_t baud) {
  if (!Exchange(kIdle, kRunning)) return false;
  if (StartPortOpener(port, baud)) return true;
  State = kIdle;
  return false;
}

OpenOutcome TakePortOpen() {
  if (Exchange(kRefused, kIdle)) return kOpenFailed;
  if (State == kProduced) {
    AdoptOpenedPort(Produced);
    Produced = nullptr;
    State = kIdle;
    return kOpenDone;
  }
  return State == kIdle ? kOpenNone : kOpenUnderWay;
}

bool OpenPortWithin(uint32_t port, uint32_t baud, uint32_t waitMs) {
  if (!BeginPortOpen(port, baud)) return false;
  const uint32_t start = PortMillis();
  for (;;) {
    const OpenOutcome outcome = TakePortOpen();
    if (outcome != kOpenUnderWay) return outcome == kOpenDone;
    if (PortMillis() - start >= waitMs) break;
    PortPause(kOpenPollMs);
  }
  AbandonPortOpen();
  return false;
}

void AbandonPortOpen() {
  if (Exchange(kRunning, kAbandoned)) return;
  if (State == kProduced) {
    CloseUnusedPort(Produced);
    Produced = nullptr;
  }
  // kAbandoned from an earlier quit stays: its helper still runs and ends it.
  if (State != kAbandoned) State = kIdle;
}

void PortOpenFinished(void* port) {
  if (port != nullptr) Produced = port;
  if (Exchange(kRunning, port != nullptr ? kProduced : kRefused)) return;
  // Quit has been: nobody will take the port.
  if (port != nullptr) CloseUnusedPort(port);
  Produced = nullptr;
  State = kIdle;
}

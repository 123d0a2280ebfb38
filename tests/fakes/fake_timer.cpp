#include "fakes/fake_timer.h"
#include "protocol/poll_tick.h"

int ArmCalls = 0;
int QuitAfterChecks = -1;
int QuitChecks = 0;

int ArmPollTimer() {
  ArmCalls++;
  return 1;
}

bool QuitRequested() {
  const int number = QuitChecks++;
  return QuitAfterChecks >= 0 && number >= QuitAfterChecks;
}

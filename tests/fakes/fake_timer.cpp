#include "fakes/fake_timer.h"
#include "protocol/poll_tick.h"

int ArmCalls = 0;

int ArmPollTimer() {
  ArmCalls++;
  return 1;
}

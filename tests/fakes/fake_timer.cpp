#include "fakes/fake_timer.h"
#include "protocol/poll_tick.h"

int ArmCalls = 0;
bool QuitFlag = false;

bool QuitRequested() { return QuitFlag; }

int ArmPollTimer() {
  ArmCalls++;
  return 1;
}

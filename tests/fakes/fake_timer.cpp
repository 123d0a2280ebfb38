#include "fakes/fake_timer.h"
#include "protocol/poll_tick.h"
#include "protocol/quit_request.h"

int ArmCalls = 0;
int QuitAfterQuestions = -1;

int ArmPollTimer() {
  ArmCalls++;
  return 1;
}

bool QuitRequested() {
  if (QuitAfterQuestions < 0) return false;
  if (QuitAfterQuestions == 0) return true;
  QuitAfterQuestions--;
  return false;
}

// The timer that drives the poll cycle: a one-shot multimedia timer that every tick
// re-arms as its last action, so ticks never overlap.
//
// Quit runs on the player's window thread while a tick may be running on the timer
// thread, possibly waiting inside a SendMessageA to that very window thread. Quit
// therefore never blocks plainly: it answers sent messages while it waits.
#include <windows.h>

#include "protocol/poll_timer_win.h"
#include "protocol/poll_tick.h"
#include "res/resource_ids.h"
#include "host/report_failure.h"

namespace {

constexpr UINT kTickDelayMs = 35;
constexpr UINT kTickResolutionMs = 10;
// Longer than any tick: 75 ms of receive waits and the host's answers.
constexpr DWORD kQuitWaitMs = 3000;

// Arming and stopping take this lock, so no tick is armed after quit has cancelled.
SRWLOCK ArmLock = SRWLOCK_INIT;
bool Stopping = false;                // guarded by ArmLock
UINT PollTimerId = 0;                 // guarded by ArmLock
volatile LONG TickRunning = 0;

bool IsStopping() {
  AcquireSRWLockShared(&ArmLock);
  const bool stopping = Stopping;
  ReleaseSRWLockShared(&ArmLock);
  return stopping;
}

void CALLBACK OnPollTimer(UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR) {
  // Marked running before looking at the flag: quit either sees this tick running and
  // waits for it, or the tick sees quit and touches nothing.
  InterlockedExchange(&TickRunning, 1);
  if (!IsStopping()) PollTick();
  InterlockedExchange(&TickRunning, 0);
}

void AnswerSentMessagesUntilTickEnds() {
  const DWORD start = GetTickCount();
  while (InterlockedCompareExchange(&TickRunning, 0, 0) != 0 && GetTickCount() - start < kQuitWaitMs) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

}  // namespace

int ArmPollTimer() {
  AcquireSRWLockExclusive(&ArmLock);
  const bool stopping = Stopping;
  if (!stopping) {
    PollTimerId = timeSetEvent(kTickDelayMs, kTickResolutionMs, OnPollTimer, 0,
                               TIME_ONESHOT | TIME_CALLBACK_FUNCTION);
  }
  const UINT id = PollTimerId;
  ReleaseSRWLockExclusive(&ArmLock);
  // While quitting, the cycle simply ends here: nothing failed, so there is no alarm.
  if (stopping || id != 0) return 1;
  ReportStartupFailure(kMsgTimer);
  return -1;
}

bool QuitRequested() { return false; }

void AllowPollTimer() {
  AcquireSRWLockExclusive(&ArmLock);
  Stopping = false;
  PollTimerId = 0;
  ReleaseSRWLockExclusive(&ArmLock);
}

void StopPollTimer() {
  AcquireSRWLockExclusive(&ArmLock);
  Stopping = true;
  if (PollTimerId != 0) timeKillEvent(PollTimerId);
  PollTimerId = 0;
  ReleaseSRWLockExclusive(&ArmLock);
  AnswerSentMessagesUntilTickEnds();
}

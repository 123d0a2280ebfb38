// The timer that drives the poll cycle: a one-shot multimedia timer that every tick
// re-arms as its last action, so ticks never overlap.
//
// Quit runs on the player's window thread while a tick may be running on the timer
// thread, possibly waiting inside a SendMessageA to that very window thread. Quit
// therefore never blocks plainly: it answers sent messages while it waits. It waits with
// no time limit, because the player unloads the DLL soon after quit returns and a tick
// still running then would go on in freed code; the long loops of a tick ask
// QuitRequested() and end early instead, which keeps quit short.
#include <windows.h>

#include "host/report_failure.h"
#include "protocol/poll_tick.h"
#include "protocol/poll_timer_win.h"
#include "protocol/quit_request.h"
#include "res/resource_ids.h"

namespace {

constexpr UINT kTickDelayMs = 35;
constexpr UINT kTickResolutionMs = 10;
// The fence event fires 1 ms after it is set; the bound only keeps a lost timer event
// from holding the player's quit for ever.
constexpr DWORD kFenceWaitMs = 1000;

// Everything below changes under this lock, so that quit, arming and a firing event
// each see the others' steps whole.
SRWLOCK ArmLock = SRWLOCK_INIT;
bool Stopping = false;   // from the start of quit until the next init
UINT PollTimerId = 0;    // the armed event that has not fired yet, or 0
DWORD TickThread = 0;    // the thread running a tick, or 0
// Events armed whose callback has not yet finished: pending, fired but not yet entered,
// or running. Quit waits for 0, which covers the moment between the timer firing and
// the callback taking the lock.
LONG Outstanding = 0;

// One chain only: an armed event, or a tick running on another thread (which re-arms
// itself), already is the chain; after quit has begun there is none to continue.
bool MayArm() {
  if (Stopping || PollTimerId != 0) return false;
  return TickThread == 0 || TickThread == GetCurrentThreadId();
}

void CALLBACK OnPollTimer(UINT id, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR) {
  AcquireSRWLockExclusive(&ArmLock);
  if (id == PollTimerId) PollTimerId = 0;
  const bool run = !Stopping;
  if (run) TickThread = GetCurrentThreadId();
  ReleaseSRWLockExclusive(&ArmLock);

  if (run) PollTick();

  AcquireSRWLockExclusive(&ArmLock);
  if (run) TickThread = 0;
  Outstanding--;
  ReleaseSRWLockExclusive(&ArmLock);
}

bool TicksOutstanding() {
  AcquireSRWLockShared(&ArmLock);
  const bool outstanding = Outstanding != 0;
  ReleaseSRWLockShared(&ArmLock);
  return outstanding;
}

// Runs the window procedures for messages sent to this thread: a tick's SendMessageA
// among them.
void AnswerSentMessages() {
  MSG message;
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

void WaitUntilNoTickOutstanding() {
  while (TicksOutstanding()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
    AnswerSentMessages();
  }
}

// A tick's callback still runs a few instructions of this DLL after its last count, and
// the player may unload the DLL as soon as quit returns. The timer thread runs one
// callback at a time, in the order they fall due, so once it has set an event of ours
// through a timer set now, it has left every callback of ours for good.
void WaitUntilTheTimerThreadHasLeftUs() {
  HANDLE passed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (passed == nullptr) return;
  const UINT fence = timeSetEvent(1, 0, reinterpret_cast<LPTIMECALLBACK>(passed), 0,
                                  TIME_ONESHOT | TIME_CALLBACK_EVENT_SET);
  if (fence != 0) {
    while (MsgWaitForMultipleObjects(1, &passed, FALSE, kFenceWaitMs, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
      AnswerSentMessages();
    }
    timeKillEvent(fence);  // when it never came: it must not set a handle closed below
  }
  CloseHandle(passed);
}

}  // namespace

int ArmPollTimer() {
  AcquireSRWLockExclusive(&ArmLock);
  const bool arming = MayArm();
  if (arming) {
    PollTimerId = timeSetEvent(kTickDelayMs, kTickResolutionMs, OnPollTimer, 0,
                               TIME_ONESHOT | TIME_CALLBACK_FUNCTION);
    if (PollTimerId != 0) Outstanding++;
  }
  const bool failed = arming && PollTimerId == 0;
  ReleaseSRWLockExclusive(&ArmLock);
  // Not arming is no failure: the chain goes on, or quit has ended it.
  if (!failed) return 1;
  ReportStartupFailure(kMsgTimer);
  return -1;
}

bool QuitRequested() {
  AcquireSRWLockShared(&ArmLock);
  const bool stopping = Stopping;
  ReleaseSRWLockShared(&ArmLock);
  return stopping;
}

void AllowPollTimer() {
  AcquireSRWLockExclusive(&ArmLock);
  Stopping = false;
  ReleaseSRWLockExclusive(&ArmLock);
}

void StopPollTimer() {
  AcquireSRWLockExclusive(&ArmLock);
  Stopping = true;
  // A pending event killed never runs. Killing one that has fired fails (error 97), and
  // it stays counted until its callback, which sees Stopping, has run.
  if (PollTimerId != 0 && timeKillEvent(PollTimerId) == TIMERR_NOERROR) Outstanding--;
  PollTimerId = 0;
  ReleaseSRWLockExclusive(&ArmLock);
  WaitUntilNoTickOutstanding();
  WaitUntilTheTimerThreadHasLeftUs();
}

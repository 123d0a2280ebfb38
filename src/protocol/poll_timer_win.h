// Starting and stopping the cycle of one-shot multimedia timer ticks.
#pragma once

// Lets ArmPollTimer arm again; init calls it before arming the first tick.
void AllowPollTimer();

// Cancels the pending tick, keeps any tick from arming another, and waits (bounded)
// for a tick that is running to end, answering the messages it sends meanwhile.
// Called by quit on the player's window thread.
void StopPollTimer();

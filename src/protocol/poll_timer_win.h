// Starting and stopping the cycle of one-shot multimedia timer ticks.
#pragma once

// Lets ArmPollTimer arm again after a quit; init calls it before arming the first tick.
void AllowPollTimer();

// Ends the cycle: from its first step QuitRequested() answers true and arming does
// nothing; it cancels the pending tick and returns only when no tick can run any more,
// answering the messages a running tick sends meanwhile. No time limit. Called by quit
// on the player's window thread.
void StopPollTimer();

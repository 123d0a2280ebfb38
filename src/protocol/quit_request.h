// Whether quit has begun: the one question a long loop inside a tick asks.
//
// Quit waits, with no time limit, until no tick can run any more, so a tick that goes on
// sending the player hundreds of messages (30 ms each in a slow player) would hold the
// player's quit for seconds. Every loop in a tick that can run long (trimming the
// playlist, reading the playlist titles, enqueueing or adding a folder) asks
// QuitRequested() before each step and, on true, stops where it is and returns at once.
// What it leaves half done stays so (no tick follows, and a later init starts afresh);
// the tick then ends as usual, its ArmPollTimer doing nothing once quit has begun.
#pragma once

// True from the moment quit begins until init starts the cycle again. Cheap enough to ask
// once per host message, from the tick's thread. Defined beside the timer
// (protocol/poll_timer_win.cpp); natively by tests/fakes/fake_timer.cpp.
bool QuitRequested();

// The playing clock's timer, on the player's main window, so that the clock changes the
// model on the thread that owns it.
#pragma once
#include <cstdint>

// True when a WM_TIMER with this id is the clock's; it has then advanced the clock.
bool OnClockTimer(uintptr_t timerId);

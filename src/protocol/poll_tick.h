// The poll cycle: every tick reads the player, sends the status frame, waits briefly for
// one command and either runs it or, when none came, delivers the pending reply and
// tells the panel about a playlist changed from outside.
#pragma once
#include <cstdint>

#include "browse/slot_tables.h"  // kMaxListEntries

constexpr uint32_t kCommandWaitMs = 15;     // how long a tick waits for a command to begin

// Read from the host at the top of every tick; handlers read them as the tick left them.
extern int32_t PlaylistLength;
extern uint32_t PlaylistPosition;           // above 500 is stored as 500

// One run of the cycle. Ends, on every path, with exactly one ArmPollTimer call, made
// by the tick itself after the command's handler has returned.
void PollTick();

// Arms the next tick (poll_timer_win.cpp): 1 when armed, -1 after the alarm of a failure.
int ArmPollTimer();

// True once quit has begun (poll_timer_win.cpp). Handlers that send the player hundreds
// of messages in one tick look at it between them and stop early, so that quit does not
// wait for a whole list.
bool QuitRequested();

// What the cycle did without telling anyone; for tests and a debug build.
struct PollCounters {
  uint32_t ticks;
  uint32_t commands;         // frames dispatched, made-up ones included
  uint32_t unknownLetters;   // commands no handler takes
  uint32_t repliesSent;
  uint32_t repliesLost;      // a pending reply whose write fell short
  uint32_t playlistChanges;  // idle ticks that found the playlist changed
};
extern PollCounters PollStats;

// "I" reports a song's details; "F" moves an unwanted song into the dump folder.
#include "protocol/handlers.h"
#include "protocol/poll_tick.h"

void HandleSongInfo(const uint8_t*) { ArmPollTimer(); }

void HandleDump(const uint8_t*) { ArmPollTimer(); }

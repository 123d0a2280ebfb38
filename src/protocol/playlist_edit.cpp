// "E": the panel edits the player's playlist.
#include "protocol/handlers.h"
#include "protocol/poll_tick.h"

void HandlePlaylistEdit(const uint8_t*) { ArmPollTimer(); }

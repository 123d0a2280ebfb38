// The playing clock: with it on, the player plays as far as the plug-in can tell. The
// elapsed time runs while playing, pause holds it, stop resets it, and a song that
// reaches its length gives way to the next entry, or stops the player after the last.
// Off by default, so that tests keep the elapsed time they set with "elapsed".
#pragma once
#include <cstdint>

#include "player_model.h"

void ClockEnable(PlayerModel& model, bool on);
bool ClockEnabled();
// Called by the player's timer with the time since its last call.
void ClockAdvance(PlayerModel& model, int32_t ms);
// Called after a transport button (WM_COMMAND id) changed the model; before is the
// play state the button found.
void ClockAfterButton(PlayerModel& model, uintptr_t id, int32_t before);

// The length of the song at path in seconds, from what the media library knows of the
// file; -1 when it knows nothing. Defined with the file information (file_info.cpp).
int32_t KnownTrackSeconds(const char* path);

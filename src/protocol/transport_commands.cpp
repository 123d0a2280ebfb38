// The panel's remote-control keys: "P" playback, "O" time display and shuffle, "S" volume.
// They post no reply, so a reply still pending stays pending.
#include "protocol/handlers.h"
#include "protocol/poll_tick.h"

void HandlePlayback(const uint8_t*) { ArmPollTimer(); }

void HandleOptions(const uint8_t*) { ArmPollTimer(); }

void HandleVolume(const uint8_t*) { ArmPollTimer(); }

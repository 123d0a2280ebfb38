// The panel's remote-control keys: "P" playback, "O" time display and shuffle, "S" volume.
// They post no reply, so a reply still pending stays pending.
#include "protocol/handlers.h"

void HandlePlayback(const uint8_t*) {}

void HandleOptions(const uint8_t*) {}

void HandleVolume(const uint8_t*) {}

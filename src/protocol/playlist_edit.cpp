// "E": the panel edits the player's playlist.
#include "protocol/handlers.h"

void HandlePlaylistEdit(const uint8_t*) {}

// The plug-in's own record of the player's volume, stepped by "S".
#pragma once
#include <cstdint>

// 0 to 255 on the player's scale; 125 at load, as start-up sets the player. Never read
// back from the player: changes made in its own window are not seen.
extern uint8_t VolumeLevel;

// What the player's process holds, as Linux sees it, for the board soak's growth check.
#pragma once
#include <cstdint>

#include "player_process.h"

// The player's process as Linux sees it: its open files, threads and resident memory.
// Wine answers GetProcessHandleCount and GetProcessMemoryInfo with 0 (measured), so the
// soak looks from outside: a handle Wine opens on a file, a pipe or a port is a file
// descriptor of the process too.
struct Usage {
  int64_t files = -1, threads = -1, memory = -1;
};

// -1 in each figure that could not be read (the process gone).
Usage ReadUsage(const PlayerProcess& player);

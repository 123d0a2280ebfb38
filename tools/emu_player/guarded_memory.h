// Memory the player hands to the plug-in and takes back, kept so that misuse shows:
// each block lies on pages of its own, and a released block stays reserved and
// unreadable, so that a plug-in reading it after the release is caught and counted
// instead of reading whatever came to live there.
#pragma once
#include <cstddef>
#include <cstdint>

enum class BlockState { Live, Released, Unknown };

// A zero-filled block of at least size bytes; null when none can be had.
void* GuardedAllocate(size_t size);
// Makes block unreadable; returns what it was before (only a Live block is released).
BlockState GuardedRelease(void* block);
// Blocks whose first read after release was caught so far. The read is then let through,
// and every later one, reading harmless poison, so that the plug-in goes on and the test
// can look.
uint32_t GuardedUseAfterRelease();

// The world one input of the poll-cycle fuzzer runs in, read from the input: the settings,
// the playable extensions, the music folder on disk (names up to the 255 and 259-character
// limits, hidden entries, dot-folders, a folder of more than 500 files) and the player
// (its playlist, titles, tags, file information, search results and the lies a player can
// tell about their counts). Filled into the fakes of tests/fakes.
#pragma once
#include <cstddef>

#include "fuzz_input.h"

// Resets every fake and all of the plug-in's state as start-up leaves it with its port
// open, then builds a world from in. The music folder is not listed yet.
void BuildWorld(FuzzInput& in);

// Empties every fake and the world, so that an input frees all it allocated: libFuzzer
// then sees as many frees as allocations and has no reason to run the input a second
// time looking for a leak, which would halve the rate and, after a thousand such runs,
// turn its leak detection off for the rest of the night. The player's call record keeps
// its lines' memory: it grows only in an input that records more than any before, and
// that input's second run finds the frees even.
void ReleaseWorld();

// One change between two ticks: at the player (its playlist, position, play state, titles,
// search answers) or on disk (a file appears, a folder goes, a move or a write starts
// failing, the clock stands still).
void ChangeWorld(FuzzInput& in);

// Whether the player itself gave this path (a playlist entry or a search result, now or
// before its results were replaced): the only paths the plug-in may hand back longer than
// its own 256-byte buffers allow, or from outside the music folder.
bool PlayerGave(const char* path);

// Prints the world to stderr: the settings, the tree, the playlist and the search results;
// for reading a crash's input (QB_FUZZ_TRACE=1).
void PrintWorld();

// The player's media library: searches answered from result rows that a test loads,
// and the release of each answer, watched for misuse.
//
// An answer's array stays allocated after its release, its texts overwritten, so that a
// plug-in reading results it has released shows "(released)" instead of crashing the
// player, and a second release of the same answer is logged as misuse=.
#pragma once
#include <cstdint>

#include "output_line.h"

// One more result for searches whose text equals query exactly.
bool LibraryAddResult(const char* query, const char* path, const char* title);
void LibraryClearResults();
// On: a search hands back every matching row, more than the plug-in asked for.
void LibrarySetOverflow(bool on);

// Messages to the library window: record in wParam, code in lParam (0x701 search, 0x705
// release; other codes answer 0).
intptr_t LibraryMessage(uintptr_t record, intptr_t code, TextLine& details);

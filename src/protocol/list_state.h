// The list the panel is shown, and the results of the last media-library search.
// Chosen by "Q", sent by "L", looked up by the playback, edit, info and dump commands.
#pragma once
#include <cstdint>

#include "browse/slot_tables.h"

// The list that "L" transfers: BrowseTitles, PlaylistTitles or LibraryTitles, and its
// number of entries (0 to 500). No table before the first "Q".
struct ListChoice {
  SlotTable table;
  uint32_t count;
};
extern ListChoice ActiveList;

// Index of the next ActiveList entry to send; back to 0 only by "L" sub-command 6.
extern uint32_t ListCursor;

// Entries of LibraryPaths and LibraryTitles that the last search filled (0 to 500). A
// search without results shows a placeholder title but leaves this 0, so that nothing
// ever plays, adds or reports a song the panel was not shown.
extern uint32_t LibraryResultCount;

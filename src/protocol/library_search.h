// A media-library search on the player's side, copied into LibraryTitles and
// LibraryPaths and released in the same call.
#pragma once
#include <cstdint>

struct LibraryItem;

// The title the list shows for a search that found nothing. It is no song: the search's
// LibraryResultCount stays 0, so nothing plays, adds or reports it.
constexpr char kNoSearchResults[] = "No Search Results";

// Asks the player for at most 500 results of query (a terminated text, handed over
// unchanged) and copies them: -1, with nothing changed, when the player refuses the
// search; otherwise the number of results stored (0 to 500), after which the player's
// results have been released with the very record it filled.
int32_t SearchLibrary(const char* query);

// Copies the first count results (count already bounded to 0..500) into slots 0..count-1
// of LibraryTitles and LibraryPaths; a missing text stores as empty, one longer than a
// slot is cut to 499 characters.
void CopySearchResults(const LibraryItem* results, uint32_t count);

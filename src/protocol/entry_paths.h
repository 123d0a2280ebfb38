// The file behind an entry the panel names by index: a browsed entry of CurrentFolder or
// a result of the last media-library search. Shared by the playback, edit, info and dump
// commands, so that every one of them checks the index and the path the same way.
#pragma once
#include <cstdint>

#include "config/settings.h"  // kPathSize

// path = CurrentFolder followed by entry index of BrowseNames, as stored (a folder entry
// keeps its backslash). 1 when index is below BrowseCount and 500, the entry is not
// empty and the whole path fits; otherwise 0 and an empty path: a cut path would name
// another file.
int BrowsedEntryPath(char (&path)[kPathSize], uint32_t index);

// The path of search result index in LibraryPaths, or null when index is not below
// LibraryResultCount and 500 (so never for the "No Search Results" placeholder), when
// the player gave no path, or when the path is longer than 255 characters (which also
// covers one that filled its slot and may have been cut).
const char* LibraryResultPath(uint32_t index);

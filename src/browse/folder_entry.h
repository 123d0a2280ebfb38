// What one scan makes of each entry that the folder listing reports: left out, listed as
// a folder, or listed as a playable file with its title. Apart from the listing calls so
// that the rules run in the native tests too.
#pragma once
#include <cstddef>
#include <cstdint>

#include "files/file_system.h"  // the attribute bits


// MAX_PATH: the listing pattern (a folder of 255 characters and "*.*") and every path the
// player is asked about. The player's tag readers hold a path in MAX_PATH bytes, so a
// file whose folder and name together are longer is left out, never handed over.
constexpr size_t kEntryPathSize = 260;

// The index of the first of extensions[0..extensionCount) equal to the text after the
// last "." of name, ignoring ASCII case; -1 when none is, or when name has no dot.
int32_t MatchExtension(const char* name, const char* const* extensions, uint32_t extensionCount);

// Decides one listing entry and, when it is listed, writes it into slot index of names
// and titles, asking the player for a file's title. 1 when listed, 0 when left out.
int ListFolderEntry(const char* folder, const char* name, uint32_t attributes,
                    const char* const* extensions, uint32_t extensionCount,
                    char* const* names, char* const* titles, uint32_t index);

// Empties slots from..499 of both tables, which are slot tables (slot_tables.h).
void ClearBrowseSlots(char* const* names, char* const* titles, uint32_t from);

// The listing pattern "<folder>*.*": 1, or 0 when it would not fit kEntryPathSize.
int FormatSearchPattern(char (&pattern)[kEntryPathSize], const char* folder);

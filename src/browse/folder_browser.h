// The browse lists: the entries of CurrentFolder in BrowseNames and BrowseTitles, index i
// of both naming the same entry. A folder is "\" and its name in both tables; a file is
// its bare name in BrowseNames and its display title in BrowseTitles.
#pragma once
#include <cstdint>

// The number of valid entries of the browse pair, 0 to 500.
extern uint32_t BrowseCount;

// Lists folder (a path ending with a backslash) into names and titles from index *count
// on, which it first clears up to slot 499: visible subfolders, and the files whose
// extension is one of the first extensionCount entries of extensions, each with the title
// the player gives it. Stops at 500 entries. 1 when the listing ran to its end or to 500;
// 0 for a count above 500 (nothing changed), a folder that cannot be listed, or a listing
// error (the entries found so far stay and *count says how many).
int ScanFolder(const char* folder, const char* const* extensions, uint32_t extensionCount,
               char* const* names, char* const* titles, uint32_t* count);

// Lists CurrentFolder afresh into BrowseNames and BrowseTitles with the playable
// extensions, from index 0 and in listing order (not sorted): ScanFolder's result.
int RescanCurrentFolder();

// Puts the folder entries ("\" first) of the first count entries of table before its
// file entries, keeping the listing order within each group; slots from count on end
// empty. 1 when done; 0, with the table unchanged, for a missing table, a count above
// 500 or no memory for the scratch table.
int SortFoldersFirst(char* const* table, uint32_t count);

// The same, deciding folder or file by keys[i] instead of table[i]'s own first character:
// ordering titles by their names keeps a title that begins with a backslash in its place.
int SortFoldersFirst(char* const* table, uint32_t count, const char* const* keys);

// Both browse lists in the folders-first order of the names, so that index i of both
// still names one entry: both are reordered (1) or neither is (0).
int SortBrowseListsFoldersFirst(char* const* names, char* const* titles, uint32_t count);

// The six fixed-capacity string tables that every list of the plug-in lives in.
//
// A table is one zero-filled block cut into equal slots, plus an array holding the
// address of every slot: entry i of a table is the string at slot i. Users write into a
// slot in place and never replace a slot address. The tables keep no counts; each owner
// keeps its own beside the table (ExtensionCount, BrowseCount, PlaylistLength, ...).
#pragma once
#include <cstddef>
#include <cstdint>

// The limit of every list: the host playlist is trimmed to it, positions are reported up
// to it, scans and searches stop at it, and no index at or above it names an entry.
constexpr uint32_t kMaxListEntries = 500;

// The list shape: 500 slots of 500 bytes, a string of at most 499 characters in each.
constexpr uint32_t kSlotCount = kMaxListEntries;
constexpr uint32_t kSlotSize = 500;
constexpr uint32_t kSlotBlockSize = kSlotCount * kSlotSize;
static_assert(kSlotBlockSize == 250000);
static_assert((kSlotCount - 1) * kSlotSize == 249500);

// The extension shape: 200 slots of 10 bytes, an extension of at most 9 characters.
constexpr uint32_t kExtensionSlots = 200;
constexpr uint32_t kExtensionSlotSize = 10;
constexpr uint32_t kExtensionBlockSize = kExtensionSlots * kExtensionSlotSize;
static_assert(kExtensionBlockSize == 2000);
static_assert((kExtensionSlots - 1) * kExtensionSlotSize == 1990);

// An array of slot addresses; slot 0 is the address of the block itself.
using SlotTable = char**;

// Null until CreateSlotTables made them, and again after FreeSlotTables.
extern SlotTable ExtensionTable;  // the playable extensions, without the dot
extern SlotTable BrowseNames;     // entries of CurrentFolder: "\name" for a folder, a bare file name
extern SlotTable BrowseTitles;    // the same entries' display texts, at the same index
extern SlotTable PlaylistTitles;  // the player's playlist titles, by position
extern SlotTable LibraryPaths;    // file paths of the last media-library search
extern SlotTable LibraryTitles;   // their titles, at the same index

// Creates the six tables in the order above, every slot empty. 1 when all six exist;
// 0 at the first failed allocation, leaving the tables made before it and nothing of
// the one that failed. A table that already exists is kept and emptied, not made again.
int CreateSlotTables();

// Releases every table that exists and leaves its address null; returns 1. Safe after a
// failed or partial CreateSlotTables and when called twice.
int FreeSlotTables();

// Where the tables' memory comes from: std::malloc unless a test swaps in one that
// fails on purpose. Whatever it returns is released with std::free.
using SlotAllocator = void* (*)(size_t size);
extern SlotAllocator SlotAllocate;

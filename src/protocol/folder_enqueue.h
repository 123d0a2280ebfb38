// Appending the playable files of a browsed sub-folder to the player's playlist: enter
// the folder, list it, append its files in listing order, and come back to the parent,
// listed again but not re-sorted. Shared by "P" 2 and "E" 2.
#pragma once
#include <cstdint>

enum class FolderEnqueue {
  kNotEntered,        // the entry is no folder (or does not fit): nothing changed
  kScanFailed,        // the sub-folder could not be listed: the browser stays inside it
  kParentScanFailed,  // the files were appended, but the parent could not be listed again
  kDone,              // back in the parent, listed again
};

// Walks the listed entries while the index is below the count and playlistLength (the
// length at the top of the tick) plus the index is below 500, folders counting as
// entries but not appended; a path too long for its 256 bytes is skipped, never cut.
// Stops early once quit has begun. *appended counts the files handed to the player.
FolderEnqueue EnqueueFolderFiles(const char* entry, int32_t playlistLength, uint32_t* appended);

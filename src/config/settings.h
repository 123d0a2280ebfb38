// The plug-in's four settings, read from its section of plugin.ini and edited in the
// start-up dialog. Folder paths end with a backslash and hold at most 255 characters.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr size_t kPathSize = 256;

extern int32_t ComPort;                // 1 to 255 for COM1 to COM255; -1 until set
extern char LibraryRoot[kPathSize];    // the music folder; browsing never climbs above it
extern char CurrentFolder[kPathSize];  // the folder being browsed
extern char PlaylistDir[kPathSize];    // where saved playlists go
extern char DumpDir[kPathSize];        // where dumped songs go

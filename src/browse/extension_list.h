// The playable file extensions, read at start-up from the player's own settings file:
// the value of its key "config_extlist", split at every ":" into the ExtensionTable.
#pragma once
#include <cstdint>
#include <cstdio>

// One whitespace-delimited token of the settings file: 1,023 characters and the NUL.
constexpr uint32_t kTokenBufferSize = 1024;

// The number of filled slots of ExtensionTable, 0 to 200; passed with it to every scan.
extern uint32_t ExtensionCount;

// Asks the player for its settings file and reads the extensions from it. 0 on success,
// otherwise the string-table id of the failure: 4 no path from the player, 5 the file
// cannot be opened, 6 no key, 3 the key's token has no "=", 2 nothing stored.
// The file is closed on every path. Needs the slot tables.
int LoadExtensionList();

// The reading itself over an open file: 0, or 6, 3 or 2 as above. The file stays open.
int ReadExtensionList(std::FILE* file);

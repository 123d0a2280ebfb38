// "I" reports a song's details; "F" moves an unwanted song into the dump folder.
#include "protocol/handlers.h"

void HandleSongInfo(const uint8_t*) {}

void HandleDump(const uint8_t*) {}

// The command handlers, one per letter. Each takes the payload of the tick's command
// (250 bytes readable, zero past what arrived), acts, and returns; the tick re-arms the
// timer after it, so no handler arms anything.
#pragma once
#include <cstdint>

void HandlePlayback(const uint8_t* command);       // "P"
void HandleOptions(const uint8_t* command);        // "O": time display and shuffle
void HandleVolume(const uint8_t* command);         // "S"
void HandleListSelect(const uint8_t* command);     // "Q"
void HandleListTransfer(const uint8_t* command);   // "L"
void HandlePlaylistEdit(const uint8_t* command);   // "E"
void HandleSongInfo(const uint8_t* command);       // "I"
void HandleDump(const uint8_t* command);           // "F"

// Runs the handler of the command's letter; a letter no handler takes does nothing.
void DispatchCommand(const uint8_t* command);

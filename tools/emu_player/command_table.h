// Handlers of the standard-input commands. fields[0] is the command name; the count
// has already been checked against the command's table row.
#pragma once
#include <cstdint>

void CommandSet(char** fields, int count);        // pos, state, elapsed, length, shuffle, volume
void CommandPlaylist(char** fields, int count);
void CommandTag(char** fields, int count);
void CommandUntag(char** fields, int count);
void CommandChanged(char** fields, int count);
void CommandIni(char** fields, int count);
void CommandLog(char** fields, int count);
void CommandModel(char** fields, int count);
// info <path> <seconds> [NAME=value]...: what the media library knows about path from now on.
void CommandInfo(char** fields, int count);
// misuse: file-information lists read after release, released twice or with another
// record, and those not released yet.
void CommandMisuse(char** fields, int count);
void CommandResult(char** fields, int count);     // result <query> <path> <title> | result clear
void CommandOverflow(char** fields, int count);   // overflow 0|1
// clock 0|1: the playing clock (player_clock.h), off until switched on.
void CommandClock(char** fields, int count);
// library <path> <title> <artist> <year> <bitrate> <seconds>, library-file <tsv>: the
// media library's songs (demo_library.h), with their tags and file information.
void CommandLibrary(char** fields, int count);
void CommandLibraryFile(char** fields, int count);
void CommandHold(char** fields, int count);       // hold <path> | hold

// Strict signed decimal: digits with an optional '-', nothing else, within 32 bits.
bool ParseInt32(const char* text, int32_t* value);

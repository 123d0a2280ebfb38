// "E", the panel's playlist editing: its sub-commands, shared by the files that carry
// them out, and the pure rules that the tests check on their own.
#pragma once
#include <cstddef>
#include <cstdint>

#include "files/file_system.h"  // LocalTime

// The scratch texts of an edit: a path to add, a playlist file name, a title. Each
// holds 255 characters and the NUL; what would not fit is refused, never cut.
constexpr size_t kEditTextSize = 256;

// The sub-commands. Each returns true when the edit is done and is to be acknowledged,
// false when it was refused (nothing added, nothing written, no acknowledgement).
bool DeleteEntry(uint32_t a);
bool MoveEntry(uint32_t a, uint32_t b);
bool AddBrowsedEntry(uint32_t a);
bool AddSearchResult(uint32_t a);
bool SavePlaylist();
bool ClearPlaylist();

// The current position p after entry a moved to position b, so that the song that was
// current stays current: p goes with a moved entry or steps aside for one (true, with
// *after the position to set, even when it equals p), or is left alone (false).
bool PositionAfterMove(int32_t a, int32_t b, int32_t p, int32_t* after);

// Replaces every character a Windows file name cannot hold (\ / : * ? " < > | and the
// control characters) with "_".
void MakeFileNameSafe(char* text);

// name = "<folder><title>-<year>-<MM>-<DD>-<hh>.<mm>.<ss>.m3u": 1 when the whole of it
// fits size bytes; otherwise 0 and an empty name.
int FormatPlaylistFileName(char* name, size_t size, const char* folder, const char* title,
                           const LocalTime& time);

// Command payloads as the panel builds them, from the command tables rather than from
// the plug-in's code: letter, byte 1 (carried back by acknowledgements, so the panel
// stamps a tag there), sub-command, a 16-bit index high byte first, then the command's
// own bytes.
#pragma once
#include <string>

#include "wire.h"

enum class ListKind : uint8_t { Playlist = 0, Folder = 1, Search = 2 };
constexpr int kListKinds = 3;
const char* ListKindName(ListKind kind);

// "Q" 1 with this index rescans and re-sorts the current folder without moving.
constexpr uint16_t kNoEntry = 0xFFFF;
// The search text travels in payload bytes 6 to 25, NUL-terminated within them.
constexpr size_t kSearchTextAt = 6;
constexpr size_t kSearchTextRoom = 20;
constexpr size_t kEditLength = 10;

// Sub-commands, as the tables number them.
// clang-format off
enum PlaySub : uint8_t {
  kPlay = 0, kPlayEntry, kEnqueueFolder, kPlayBrowsed, kPlayFound, kPause, kStop, kNext, kPrevious
};
// clang-format on
enum OptionSub : uint8_t { kTimeMode = 0, kShuffleOn, kShuffleOff };
enum VolumeSub : uint8_t { kLouder = 0, kSofter };
enum ChooseSub : uint8_t { kUp = 0, kEnter, kRoot, kPlaylistTitles, kSearch };
enum TransferSub : uint8_t { kNextChunk = 0, kRestart = 6 };
enum EditSub : uint8_t { kDelete = 0, kMove, kAddBrowsed, kAddFound, kSave, kClear };
enum SongSource : uint8_t { kFromBrowsed = 0, kFromPlaylist, kFromSearch };

// Six bytes: letter, 0, sub-command, index high, index low, 0.
Bytes CommandPayload(char letter, uint8_t sub, uint16_t index = 0);
// "E": ten bytes, index A in bytes 3 and 4, index B in bytes 5 and 6.
Bytes EditPayload(uint8_t sub, uint16_t a, uint16_t b = 0);
// "Q" 4: at most 19 characters of text, the rest of the 20 bytes NUL.
Bytes SearchPayload(const std::string& text);

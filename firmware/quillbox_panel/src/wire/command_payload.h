// Command payloads as a panel builds them: letter, byte 1 (carried back by most replies,
// so a panel stamps a tag there to pair a reply with its command), sub-command, a 16-bit
// index high byte first, then the command's own bytes. A payload may stop early: the
// plug-in reads the bytes not sent as 0.
#pragma once
#include <stdint.h>

enum class ListKind : uint8_t { Playlist = 0, Folder = 1, Search = 2 };
constexpr int kListKinds = 3;

// "Q" 1 with this index lists the folder being browsed again, sorted, without moving.
constexpr uint16_t kNoEntry = 0xFFFF;
// The search text of "Q" 4 travels in payload bytes 6 to 25, NUL-terminated within them.
constexpr uint8_t kSearchTextAt = 6;
constexpr uint8_t kSearchTextRoom = 20;
constexpr uint8_t kMaxSearchText = kSearchTextRoom - 1;

constexpr uint8_t kCommandLength = 6;
constexpr uint8_t kEditLength = 10;
constexpr uint8_t kSearchLength = kSearchTextAt + kSearchTextRoom;
constexpr uint8_t kMaxCommandLength = kSearchLength;  // the longest command a panel sends
constexpr uint8_t kTagAt = 1;

// Sub-commands, as the protocol numbers them.
// clang-format off
enum PlaySub : uint8_t {
  kPlay = 0, kPlayEntry, kEnqueueFolder, kPlayBrowsed, kPlayFound, kPause, kStop, kNext, kPrevious
};
// clang-format on
enum OptionSub : uint8_t { kTimeMode = 0, kShuffleOn, kShuffleOff };
enum VolumeSub : uint8_t { kLouder = 0, kSofter };
enum ChooseSub : uint8_t { kUp = 0, kEnter, kRoot, kPlaylistTitles, kSearch, kKeepList };
enum TransferSub : uint8_t { kNextChunk = 0, kRestart = 6 };
enum EditSub : uint8_t { kDelete = 0, kMove, kAddBrowsed, kAddFound, kSave, kClear };
enum SongSource : uint8_t { kFromBrowsed = 0, kFromPlaylist, kFromSearch };

// Each writes into out[kMaxCommandLength] and returns the payload's length.
// Six bytes: letter, 0, sub-command, index high, index low, 0.
uint8_t BuildCommand(uint8_t* out, char letter, uint8_t sub, uint16_t index = 0);
// "E": ten bytes, index A in bytes 3 and 4, index B in bytes 5 and 6.
uint8_t BuildEdit(uint8_t* out, uint8_t sub, uint16_t a, uint16_t b = 0);
// "Q" 4: at most 19 characters of text (the rest is cut), the rest of the 20 bytes NUL.
uint8_t BuildSearch(uint8_t* out, const char* text);

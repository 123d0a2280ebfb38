// What the plug-in answers, recognised by its shape. A reply comes on the first tick
// without a command, after that tick's status frame, and says by its letter, length and
// status byte which command asked for it:
//   "Q"        6 bytes  "L" tag 05 kind ..     (tag 0 when the plug-in chose by itself)
//   "L" 6      6 bytes  "L" tag 01 ...
//   "L" 0      244 bytes "D" 00 00 U titles... (no tag), or 6 bytes "L" tag 03 ...
//   "E"        10 bytes "E" tag 06 ...
//   "F"        6 bytes  "F" tag 02 ...
//   "I"        100 bytes "I" tag source index ... details
#pragma once
#include <stdint.h>

#include "command_payload.h"

enum class ReplyForm : uint8_t {
  None,           // what a command that posts nothing ("P", "O", "S") expects
  ListChosen,     // "Q"
  ListRestarted,  // "L" 6
  ListChunk,      // "L" 0, a chunk of titles
  ListEnd,        // "L" 0 with nothing left
  Edited,         // "E"
  Dumped,         // "F"
  SongInfo,       // "I"
  Unknown,
};
constexpr uint8_t kChunkLength = 244;
constexpr uint8_t kChunkEntriesAt = 4;
constexpr uint8_t kSongInfoLength = 100;

ReplyForm ClassifyReply(const uint8_t* payload, uint8_t length);

// The byte 1 that a reply of this form carries back from its command, or -1 for the
// chunk, which carries none. A "Q" reply the plug-in posts by itself, when the player's
// playlist changed, carries 0: a panel that never stamps 0 tells it from its own.
int16_t EchoedTag(ReplyForm form, const uint8_t* payload);

// The list kind a "Q" reply names; false when byte 3 names none (no list chosen yet).
bool ChosenKind(const uint8_t* payload, uint8_t length, ListKind* kind);

// The titles of a chunk, one after the other: each NUL-terminated within the used length
// of byte 3, never read beyond the chunk whatever byte 3 says. A title that the used
// length cuts off before its NUL still counts.
struct ChunkWalk {
  const uint8_t* at;
  const uint8_t* end;
};
ChunkWalk ChunkWalkOf(const uint8_t* payload, uint8_t length);
// The next title (not terminated: *size characters at *text); false when none is left.
bool NextChunkTitle(ChunkWalk* walk, const char** text, uint8_t* size);

struct SongInfoFields {
  uint8_t minutes;  // byte 5
  int8_t seconds;   // byte 6: a length the player does not know gives -1
  uint8_t bitrate;  // byte 7: kbit/s, low 8 bits only
  uint16_t year;    // bytes 8 and 9: year / 100 and year mod 100
  char type[4];     // bytes 10 to 12, the file type ("mp3")
  char artist[31];  // bytes 40 to 69, as the player filled them
  char title[31];   // bytes 70 to 99
};
// False for a payload shorter than a song-information reply.
bool DecodeSongInfo(const uint8_t* payload, uint8_t length, SongInfoFields* fields);

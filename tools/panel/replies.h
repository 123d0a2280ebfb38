// What the plug-in answers, recognised by its shape: every reply reaches the panel on an
// idle tick, after the status frame, and says by its letter, length and status byte
// which command asked for it.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "commands.h"

enum class ReplyForm {
  None,           // what a command that posts nothing "expects"
  ListChosen,     // "Q": "L", status 5, byte 3 the list kind
  ListRestarted,  // "L" 6: status 1
  ListChunk,      // "L" 0: 244 bytes beginning with "D"
  ListEnd,        // "L" 0 with nothing left: status 3
  Edited,         // "E": 10 bytes, status 6
  Dumped,         // "F": status 2
  SongInfo,       // "I": 100 bytes
  Unknown,
};
constexpr size_t kChunkLength = 244;
constexpr size_t kSongInfoLength = 100;

ReplyForm ClassifyReply(const Bytes& payload);
const char* ReplyFormName(ReplyForm form);
// The byte 1 that a reply of this form carries back from its command, or -1 for the
// forms that do not promise to ("Q" and the "D" chunk).
int EchoedTag(ReplyForm form, const Bytes& payload);

// The list kind of a "Q" reply; nullopt when byte 3 names none.
std::optional<ListKind> ChosenKind(const Bytes& payload);

// The titles packed in a "D" chunk: NUL-terminated, within the used length of byte 3
// (never beyond the chunk, whatever byte 3 says).
std::vector<std::string> ChunkTitles(const Bytes& payload);

struct SongDetails {
  int minutes = 0;   // byte 5, unsigned
  int seconds = 0;   // byte 6, signed: a length the player does not know gives -1
  int bitrate = 0;   // byte 7: kbit/s, low 8 bits only
  int year = 0;      // bytes 8 and 9
  std::string type;  // bytes 10 to 12
  std::string artist;
  std::string title;
};
SongDetails DecodeSongInfo(const Bytes& payload);

// What the plug-in answers, recognised by its shape (the panel wire codec,
// firmware/quillbox_panel/src/wire/reply_form.h), as vectors and strings for the
// terminal panel.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "wire/reply_form.h"

ReplyForm ClassifyReply(const Bytes& payload);
const char* ReplyFormName(ReplyForm form);
// The byte 1 that a reply of this form carries back from its command (0 for the "Q"
// reply the plug-in posts by itself), or -1 for the "D" chunk, which carries none.
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

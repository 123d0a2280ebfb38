#include "reply_form.h"

namespace {

constexpr uint8_t kChosen = 5, kRestarted = 1, kEnd = 3, kEdited = 6, kDumped = 2;

bool Is(const uint8_t* p, uint8_t length, char letter, uint8_t wantLength, int16_t status) {
  return length == wantLength && p[0] == static_cast<uint8_t>(letter) && (status < 0 || p[2] == status);
}

// A fixed-width text field that the player may fill to its last byte without a NUL.
template <uint8_t N>
void Field(const uint8_t* p, uint8_t at, uint8_t width, char (&text)[N]) {
  static_assert(N > 0, "room for the NUL");
  uint8_t n = 0;
  for (; n < width && n + 1 < N && p[at + n] != 0; n++) text[n] = static_cast<char>(p[at + n]);
  text[n] = '\0';
}

}  // namespace

ReplyForm ClassifyReply(const uint8_t* p, uint8_t length) {
  if (length == 0) return ReplyForm::Unknown;
  if (Is(p, length, 'L', kCommandLength, kChosen)) return ReplyForm::ListChosen;
  if (Is(p, length, 'L', kCommandLength, kRestarted)) return ReplyForm::ListRestarted;
  if (Is(p, length, 'L', kCommandLength, kEnd)) return ReplyForm::ListEnd;
  if (Is(p, length, 'D', kChunkLength, -1)) return ReplyForm::ListChunk;
  if (Is(p, length, 'E', kEditLength, kEdited)) return ReplyForm::Edited;
  if (Is(p, length, 'F', kCommandLength, kDumped)) return ReplyForm::Dumped;
  if (Is(p, length, 'I', kSongInfoLength, -1)) return ReplyForm::SongInfo;
  return ReplyForm::Unknown;
}

int16_t EchoedTag(ReplyForm form, const uint8_t* p) {
  switch (form) {
    case ReplyForm::ListChosen:
    case ReplyForm::ListRestarted:
    case ReplyForm::ListEnd:
    case ReplyForm::Edited:
    case ReplyForm::Dumped:
    case ReplyForm::SongInfo: return p[kTagAt];
    default: return -1;
  }
}

bool ChosenKind(const uint8_t* p, uint8_t length, ListKind* kind) {
  if (length < 4 || p[3] >= kListKinds) return false;
  *kind = static_cast<ListKind>(p[3]);
  return true;
}

ChunkWalk ChunkWalkOf(const uint8_t* p, uint8_t length) {
  if (length <= kChunkEntriesAt) return ChunkWalk{p, p};
  const uint8_t room = static_cast<uint8_t>(length - kChunkEntriesAt);
  const uint8_t used = p[3] < room ? p[3] : room;
  return ChunkWalk{p + kChunkEntriesAt, p + kChunkEntriesAt + used};
}

bool NextChunkTitle(ChunkWalk* walk, const char** text, uint8_t* size) {
  if (walk->at >= walk->end) return false;
  const uint8_t* begin = walk->at;
  while (walk->at < walk->end && *walk->at != 0) walk->at++;
  *text = reinterpret_cast<const char*>(begin);
  *size = static_cast<uint8_t>(walk->at - begin);
  if (walk->at < walk->end) walk->at++;  // past the NUL
  return true;
}

bool DecodeSongInfo(const uint8_t* p, uint8_t length, SongInfoFields* s) {
  if (length < kSongInfoLength) return false;
  s->minutes = p[5];
  s->seconds = static_cast<int8_t>(p[6]);
  s->bitrate = p[7];
  s->year = static_cast<uint16_t>(p[8] * 100 + p[9]);
  Field(p, 10, 3, s->type);
  Field(p, 40, 30, s->artist);
  Field(p, 70, 30, s->title);
  return true;
}

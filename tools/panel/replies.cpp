#include "replies.h"

#include <algorithm>

namespace {

bool Is(const Bytes& p, char letter, size_t length, int status) {
  return p.size() == length && p[0] == static_cast<uint8_t>(letter) && (status < 0 || p[2] == status);
}

// A text field of fixed width that the host may fill to the last byte without a NUL.
std::string Field(const Bytes& p, size_t at, size_t width) {
  std::string text;
  for (size_t i = at; i < at + width && i < p.size() && p[i] != 0; i++) text.push_back(static_cast<char>(p[i]));
  return text;
}

}  // namespace

ReplyForm ClassifyReply(const Bytes& p) {
  if (p.empty()) return ReplyForm::Unknown;
  if (Is(p, 'L', 6, 5)) return ReplyForm::ListChosen;
  if (Is(p, 'L', 6, 1)) return ReplyForm::ListRestarted;
  if (Is(p, 'L', 6, 3)) return ReplyForm::ListEnd;
  if (Is(p, 'D', kChunkLength, -1)) return ReplyForm::ListChunk;
  if (Is(p, 'E', kEditLength, 6)) return ReplyForm::Edited;
  if (Is(p, 'F', 6, 2)) return ReplyForm::Dumped;
  if (Is(p, 'I', kSongInfoLength, -1)) return ReplyForm::SongInfo;
  return ReplyForm::Unknown;
}

const char* ReplyFormName(ReplyForm form) {
  switch (form) {
    case ReplyForm::None: return "nothing";
    case ReplyForm::ListChosen: return "list chosen";
    case ReplyForm::ListRestarted: return "list restarted";
    case ReplyForm::ListChunk: return "list chunk";
    case ReplyForm::ListEnd: return "end of list";
    case ReplyForm::Edited: return "edit done";
    case ReplyForm::Dumped: return "dumped";
    case ReplyForm::SongInfo: return "song info";
    case ReplyForm::Unknown: return "unknown reply";
  }
  return "?";
}

int EchoedTag(ReplyForm form, const Bytes& p) {
  switch (form) {
    case ReplyForm::ListRestarted:
    case ReplyForm::ListEnd:
    case ReplyForm::Edited:
    case ReplyForm::Dumped:
    case ReplyForm::SongInfo: return p[1];
    default: return -1;
  }
}

std::optional<ListKind> ChosenKind(const Bytes& p) {
  if (p.size() < 4 || p[3] >= kListKinds) return std::nullopt;
  return static_cast<ListKind>(p[3]);
}

std::vector<std::string> ChunkTitles(const Bytes& p) {
  std::vector<std::string> titles;
  if (p.size() < 4) return titles;
  const size_t end = std::min<size_t>(4 + p[3], p.size());
  std::string title;
  for (size_t i = 4; i < end; i++) {
    if (p[i] == 0) {
      titles.push_back(title);
      title.clear();
    } else {
      title.push_back(static_cast<char>(p[i]));
    }
  }
  if (!title.empty()) titles.push_back(title);  // the used length cut its NUL off
  return titles;
}

SongDetails DecodeSongInfo(const Bytes& p) {
  SongDetails s;
  if (p.size() < kSongInfoLength) return s;
  s.minutes = p[5];
  s.seconds = static_cast<int8_t>(p[6]);
  s.bitrate = p[7];
  s.year = p[8] * 100 + p[9];
  s.type = Field(p, 10, 3);
  s.artist = Field(p, 40, 30);
  s.title = Field(p, 70, 30);
  return s;
}

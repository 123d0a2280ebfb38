#include "replies.h"

namespace {

// Payloads longer than a frame can carry are nobody's reply.
uint8_t Length(const Bytes& p) { return p.size() > kMaxFramePayload ? 0 : static_cast<uint8_t>(p.size()); }

}  // namespace

ReplyForm ClassifyReply(const Bytes& p) { return ClassifyReply(p.data(), Length(p)); }

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

int EchoedTag(ReplyForm form, const Bytes& p) { return p.empty() ? -1 : EchoedTag(form, p.data()); }

std::optional<ListKind> ChosenKind(const Bytes& p) {
  ListKind kind;
  if (!ChosenKind(p.data(), Length(p), &kind)) return std::nullopt;
  return kind;
}

std::vector<std::string> ChunkTitles(const Bytes& p) {
  std::vector<std::string> titles;
  ChunkWalk walk = ChunkWalkOf(p.data(), Length(p));
  const char* text = nullptr;
  uint8_t size = 0;
  while (NextChunkTitle(&walk, &text, &size)) titles.emplace_back(text, size);
  return titles;
}

SongDetails DecodeSongInfo(const Bytes& p) {
  SongDetails s;
  SongInfoFields fields;
  if (!DecodeSongInfo(p.data(), Length(p), &fields)) return s;
  s.minutes = fields.minutes;
  s.seconds = fields.seconds;
  s.bitrate = fields.bitrate;
  s.year = fields.year;
  s.type = fields.type;
  s.artist = fields.artist;
  s.title = fields.title;
  return s;
}

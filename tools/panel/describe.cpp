#include "describe.h"

#include <cstdio>
#include <cstdlib>

const char* PlayStateName(uint8_t state) {
  switch (state) {
    case 0: return "playing";
    case 1: return "paused";
    case 2: return "stopped";
  }
  return "state?";
}

const char* ListTitle(ListKind kind) {
  switch (kind) {
    case ListKind::Playlist: return "playlist";
    case ListKind::Folder: return "folder list";
    case ListKind::Search: return "search results";
  }
  return "?";
}

std::string TimeText(int8_t minutes, int8_t seconds) {
  const bool remaining = minutes < 0 || seconds < 0;
  char text[16];
  std::snprintf(text, sizeof text, "%s%d:%02d", remaining ? "-" : "", std::abs(minutes), std::abs(seconds));
  return text;
}

std::string StatusText(const Status& s) {
  char text[256];
  std::snprintf(text, sizeof text, "%s %s shuffle %s pos %u/%u \"%s\" folder \"%s\"", PlayStateName(s.playState),
                TimeText(s.minutes, s.seconds).c_str(), s.shuffle ? "on" : "off", s.position, s.length, s.title.c_str(),
                s.folder.c_str());
  return text;
}

std::string SongInfoText(const SongDetails& i) {
  char length[16] = "?";
  if (i.seconds >= 0 && i.seconds < 60) std::snprintf(length, sizeof length, "%d:%02d", i.minutes, i.seconds);
  char text[256];
  std::snprintf(text, sizeof text, "artist \"%s\" title \"%s\" length %s bitrate %d year %d type %s", i.artist.c_str(),
                i.title.c_str(), length, i.bitrate, i.year, i.type.empty() ? "?" : i.type.c_str());
  return text;
}

std::string HexText(const Bytes& bytes, size_t most) {
  std::string text;
  char b[4];
  for (size_t i = 0; i < bytes.size() && i < most; i++) {
    std::snprintf(b, sizeof b, i ? " %02X" : "%02X", bytes[i]);
    text += b;
  }
  if (bytes.size() > most) text += " ...";
  return text;
}

namespace {

std::string ReplyText(const Event& e) {
  switch (ClassifyReply(e.payload)) {
    case ReplyForm::Edited: return "done " + e.label;
    case ReplyForm::Dumped: return "dumped (" + e.label + ")";
    case ReplyForm::SongInfo: return "info " + SongInfoText(DecodeSongInfo(e.payload));
    default: return "reply to " + e.label + ": " + HexText(e.payload);
  }
}

}  // namespace

std::string EventText(const Event& e) {
  switch (e.kind) {
    case EventKind::Replied: return ReplyText(e);
    case EventKind::NoReply: return "no reply to " + e.label;
    case EventKind::ListChosen: return std::string(e.asked ? "chosen: " : "chosen by the player: ") + ListTitle(e.list);
    case EventKind::ListUnchanged: return "list not changed";
    case EventKind::ListFailed: return "list transfer failed: " + e.label;
    case EventKind::Stray:
      return "stray " + e.label + " (" + std::to_string(e.payload.size()) + " bytes): " + HexText(e.payload);
    case EventKind::LineQuiet: return "line quiet: no status frame for a second";
    case EventKind::LineBack: return "line back";
    case EventKind::DeviceGone: return "device gone: " + e.label;
    case EventKind::DeviceBack: return "device back";
    case EventKind::Status:
    case EventKind::Sent:
    case EventKind::ListProgress:
    case EventKind::ListDone: return "";
  }
  return "";
}

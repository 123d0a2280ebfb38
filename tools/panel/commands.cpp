#include "commands.h"

const char* ListKindName(ListKind kind) {
  switch (kind) {
    case ListKind::Playlist: return "playlist";
    case ListKind::Folder: return "folder";
    case ListKind::Search: return "search";
  }
  return "?";
}

namespace {

Bytes Built(const uint8_t* payload, uint8_t length) { return Bytes(payload, payload + length); }

}  // namespace

Bytes CommandPayload(char letter, uint8_t sub, uint16_t index) {
  uint8_t p[kMaxCommandLength];
  return Built(p, BuildCommand(p, letter, sub, index));
}

Bytes EditPayload(uint8_t sub, uint16_t a, uint16_t b) {
  uint8_t p[kMaxCommandLength];
  return Built(p, BuildEdit(p, sub, a, b));
}

Bytes SearchPayload(const std::string& text) {
  uint8_t p[kMaxCommandLength];
  return Built(p, BuildSearch(p, text.c_str()));
}

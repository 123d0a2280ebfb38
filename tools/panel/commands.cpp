#include "commands.h"

const char* ListKindName(ListKind kind) {
  switch (kind) {
    case ListKind::Playlist: return "playlist";
    case ListKind::Folder: return "folder";
    case ListKind::Search: return "search";
  }
  return "?";
}

Bytes CommandPayload(char letter, uint8_t sub, uint16_t index) {
  return Bytes{static_cast<uint8_t>(letter),       0, sub, static_cast<uint8_t>(index >> 8),
               static_cast<uint8_t>(index & 0xFF), 0};
}

Bytes EditPayload(uint8_t sub, uint16_t a, uint16_t b) {
  Bytes p = CommandPayload('E', sub, a);
  p.resize(kEditLength, 0);
  p[5] = static_cast<uint8_t>(b >> 8);
  p[6] = static_cast<uint8_t>(b & 0xFF);
  return p;
}

Bytes SearchPayload(const std::string& text) {
  Bytes p = CommandPayload('Q', kSearch);
  p.resize(kSearchTextAt + kSearchTextRoom, 0);
  for (size_t i = 0; i < text.size() && i + 1 < kSearchTextRoom; i++) {
    p[kSearchTextAt + i] = static_cast<uint8_t>(text[i]);
  }
  return p;
}

#include "terminal_keys.h"

namespace {

PanelKey ArrowKey(uint8_t final) {
  switch (final) {
    case 'A': return PanelKey::Up;
    case 'B': return PanelKey::Down;
    case 'C': return PanelKey::Right;
    case 'D': return PanelKey::Left;
    default: return PanelKey::None;
  }
}

}  // namespace

std::vector<TypedKey> TerminalKeys::Feed(const uint8_t* bytes, size_t count) {
  std::vector<TypedKey> typed;
  for (size_t i = 0; i < count; i++) {
    const uint8_t b = bytes[i];
    TypedKey t;
    if (escape_ == 1) {  // ESC [ or ESC O, then the arrow's letter
      escape_ = (b == '[' || b == 'O') ? 2 : 0;
      continue;
    }
    if (escape_ == 2) {
      escape_ = 0;
      t.key = ArrowKey(b);
    } else if (b == 0x1B) {
      escape_ = 1;
      continue;
    } else if (b == '\r' || b == '\n') {
      t.key = PanelKey::Select;
    } else if (b == ',' || b == '.') {
      t.turn = b == '.' ? 1 : -1;
    } else if (b == ' ') {
      t.push = true;
    } else if (b == 'q') {
      t.quit = true;
    } else if (b == 'l') {
      longNext_ = true;
      continue;
    }
    if (t.key == PanelKey::None && !t.quit && t.turn == 0 && !t.push) continue;
    t.longPress = longNext_;
    longNext_ = false;
    typed.push_back(t);
  }
  return typed;
}

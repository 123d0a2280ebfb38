// The terminal's keys, decoded from the bytes it sends: arrows for Right, Up, Down and
// Left, Enter for Select, `,` and `.` a detent of the encoder anticlockwise and
// clockwise, space its push, `l` then a key (or space) for a long press, `q` to quit.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "panel_keys.h"

struct TypedKey {
  bool quit = false;
  PanelKey key = PanelKey::None;
  bool longPress = false;
  int turn = 0;       // detents of the encoder
  bool push = false;  // the encoder's switch
};

class TerminalKeys {
 public:
  std::vector<TypedKey> Feed(const uint8_t* bytes, size_t count);

 private:
  int escape_ = 0;  // bytes of an escape sequence seen so far
  bool longNext_ = false;
};

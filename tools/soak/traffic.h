// What the soak's panel puts on the line: commands of every letter with plausible and
// edge indexes, and frames a bad cable, a half-plugged connector or a panel reset in the
// middle of a write would give.
//
// Two rules keep the soak's own accounting exact. No byte 0x55 is sent except as the
// first byte of a frame, so garbage never turns into a frame start by chance; and an "F"
// goes out only whole and alone (Dump), never inside a broken frame or a burst, so every
// dump the plug-in makes is one the soak sent and waits for.
#pragma once
#include <cstdint>
#include <random>
#include <string>

#include "wire.h"

// What the panel knows of the plug-in when it picks a command: the last status frame.
struct PanelView {
  int playlistLength = 0;
};

struct Outgoing {
  Bytes first;            // one write
  Bytes second;           // a second write after a short pause, or empty
  std::string kind;       // for the figures: the letter, or how the frame is broken
  char letter = 0;        // the command letter of a whole command, else 0
};

class Traffic {
 public:
  explicit Traffic(uint32_t seed) : random_(seed) {}

  // A whole command of any letter but "F", drawn by weight.
  Outgoing Command(const PanelView& view);
  // A whole "F" of 6 bytes with byte 1 set to tag, which its acknowledgement echoes.
  Outgoing Dump(const PanelView& view, uint8_t tag);
  // "L" 6 with byte 1 set to tag: always answered with status 1.
  static Outgoing Probe(uint8_t tag);
  // One of the broken kinds, or a burst of whole commands in one write.
  Outgoing Broken(const PanelView& view);

  int Percent() { return Between(0, 99); }

 private:
  int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  uint8_t Byte();  // any byte but 0x55
  uint16_t Pick(std::initializer_list<uint16_t> edges, int plausibleBelow);
  uint16_t BrowseIndex() { return Pick({0xFFFF, 500, 499, 0x8000, 0x7FFF, 256, 40}, 13); }
  uint16_t PlaylistIndex(const PanelView& v);
  uint16_t ResultIndex() { return Pick({499, 500, 501, 0xFFFF, 0x8000}, 30); }
  Bytes Payload(char letter, uint8_t sub, uint16_t index, size_t length);
  Bytes Transport(const PanelView& view);
  Bytes Select();
  Bytes Transfer();
  Bytes Edit(const PanelView& view);
  Bytes Info(const PanelView& view);
  Bytes Unknown();
  Bytes SafePayload(const PanelView& view);  // any letter but "F"
  std::mt19937 random_;
};

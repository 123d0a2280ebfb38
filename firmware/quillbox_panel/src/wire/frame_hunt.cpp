#include "frame_hunt.h"

#include <string.h>

namespace {

// Drops the bytes before the first 0x55 at or after `from`: the next place a frame may begin.
void DropUntilStart(FrameHunt* hunt, uint16_t from) {
  uint16_t at = from;
  while (at < hunt->have && hunt->bytes[at] != kFrameStart[0]) at++;
  memmove(hunt->bytes, hunt->bytes + at, hunt->have - at);
  hunt->have = static_cast<uint16_t>(hunt->have - at);
  hunt->skipped = static_cast<uint16_t>(hunt->skipped + at);
}

uint16_t FrameSize(const FrameHunt& hunt) { return static_cast<uint16_t>(hunt.bytes[3] + kFrameOverhead); }

// Drops the frame handed out last, keeping what was held behind it.
void DropHandedOut(FrameHunt* hunt) {
  if (!hunt->whole) return;
  const uint16_t size = FrameSize(*hunt);
  memmove(hunt->bytes, hunt->bytes + size, hunt->have - size);
  hunt->have = static_cast<uint16_t>(hunt->have - size);
  hunt->whole = false;
}

void Refuse(FrameHunt* hunt) {
  hunt->broken++;
  DropUntilStart(hunt, 1);
}

// Looks at what is held from its start: drops what cannot begin a frame, and says whether
// a whole frame is held. Unless it is, what is kept is shorter than a whole frame of its
// length, so there is always room for the next byte.
bool Settle(FrameHunt* hunt) {
  for (;;) {
    const uint8_t* b = hunt->bytes;
    if (hunt->have == 0) return false;
    if (b[0] != kFrameStart[0]) {
      DropUntilStart(hunt, 1);
      continue;
    }
    if (hunt->have < 2) return false;
    if (b[1] != kFrameStart[1]) {
      DropUntilStart(hunt, 1);
      continue;
    }
    if (hunt->have < kFrameHeader) return false;
    const uint8_t length = b[3];
    if (length > kMaxFramePayload) {
      Refuse(hunt);
      continue;
    }
    if (hunt->have < static_cast<uint16_t>(length + kFrameOverhead)) return false;
    if (b[length + 4] == kFrameEnd[0] && b[length + 5] == kFrameEnd[1]) return true;
    Refuse(hunt);
  }
}

}  // namespace

void HuntReset(FrameHunt* hunt) { memset(hunt, 0, sizeof *hunt); }

bool HuntByte(FrameHunt* hunt, uint8_t byte) {
  DropHandedOut(hunt);
  // Whole frames still held behind the last one are HuntNext's to hand out; a caller
  // that did not ask for them does not want them.
  while (Settle(hunt)) {
    hunt->whole = true;
    DropHandedOut(hunt);
  }
  // Settle keeps less than a whole frame, and a whole frame is at most kMaxFrame bytes.
  hunt->bytes[hunt->have++] = byte;
  hunt->whole = Settle(hunt);
  return hunt->whole;
}

bool HuntNext(FrameHunt* hunt) {
  DropHandedOut(hunt);
  hunt->whole = Settle(hunt);
  return hunt->whole;
}

bool HuntFrameIsLatest(const FrameHunt& hunt) { return hunt.whole && hunt.have == FrameSize(hunt); }

uint16_t EncodeFrame(const uint8_t* payload, uint8_t length, uint8_t sequence, uint8_t* out, uint16_t room) {
  const uint16_t size = static_cast<uint16_t>(length + kFrameOverhead);
  if (length > kMaxFramePayload || size > room) return 0;
  out[0] = kFrameStart[0];
  out[1] = kFrameStart[1];
  out[2] = sequence;
  out[3] = length;
  if (length > 0) memcpy(out + kFrameHeader, payload, length);
  out[length + 4] = kFrameEnd[0];
  out[length + 5] = kFrameEnd[1];
  return size;
}

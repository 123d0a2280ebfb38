#include "backpack.h"

uint8_t BackpackAddress(uint8_t i) {
  if (i == 0) return 0x27;
  if (i == 1) return 0x3F;
  return static_cast<uint8_t>(i < 9 ? 0x20 + (i - 2) : 0x38 + (i - 9));  // 0x20..0x26, 0x38..0x3E
}

uint8_t BackpackBytes(const LcdOp& op, uint8_t last, uint8_t (&out)[kBackpackMostBytes]) {
  const uint8_t light = last & kBackpackLight;
  if (op.kind == LcdOpKind::Light) {
    out[0] = static_cast<uint8_t>((last & ~(kBackpackLight | kBackpackE)) | (op.value != 0 ? kBackpackLight : 0));
    return 1;
  }
  if (op.kind == LcdOpKind::WaitMs) return 0;
  const uint8_t rs = op.kind == LcdOpKind::Data ? kBackpackRs : 0;
  uint8_t n = 0;
  if ((last & kBackpackRs) != rs || (last & kBackpackE) != 0) out[n++] = static_cast<uint8_t>((last & 0xF0) | light | rs);
  const uint8_t nibbles = op.kind == LcdOpKind::Nibble ? 1 : 2;
  for (uint8_t k = 0; k < nibbles; k++) {
    const uint8_t nibble = static_cast<uint8_t>(k == 0 ? op.value & 0xF0 : op.value << kBackpackDataShift);
    const uint8_t pins = static_cast<uint8_t>(nibble | light | rs);
    out[n++] = static_cast<uint8_t>(pins | kBackpackE);
    out[n++] = pins;  // the controller takes the nibble as E falls
  }
  return n;
}

#include "command_payload.h"

#include <string.h>

uint8_t BuildCommand(uint8_t* out, char letter, uint8_t sub, uint16_t index) {
  memset(out, 0, kMaxCommandLength);
  out[0] = static_cast<uint8_t>(letter);
  out[2] = sub;
  out[3] = static_cast<uint8_t>(index >> 8);
  out[4] = static_cast<uint8_t>(index & 0xFF);
  return kCommandLength;
}

uint8_t BuildEdit(uint8_t* out, uint8_t sub, uint16_t a, uint16_t b) {
  BuildCommand(out, 'E', sub, a);
  out[5] = static_cast<uint8_t>(b >> 8);
  out[6] = static_cast<uint8_t>(b & 0xFF);
  return kEditLength;
}

uint8_t BuildSearch(uint8_t* out, const char* text) {
  BuildCommand(out, 'Q', kSearch);
  for (uint8_t i = 0; i < kMaxSearchText && text[i] != '\0'; i++)
    out[kSearchTextAt + i] = static_cast<uint8_t>(text[i]);
  return kSearchLength;
}

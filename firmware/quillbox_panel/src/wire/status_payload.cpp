#include "status_payload.h"

namespace {

uint16_t Number(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

}  // namespace

bool DecodeStatus(const uint8_t* payload, uint8_t length, PanelStatus* status) {
  if (length != kStatusLength || payload[0] != kStatusLetter) return false;
  status->playState = payload[4];
  status->shuffle = payload[5];
  status->minutes = static_cast<int8_t>(payload[6]);
  status->seconds = static_cast<int8_t>(payload[7]);
  status->length = Number(payload + 8);
  status->position = Number(payload + 10);
  status->titleTerminated = StatusTextField(payload, kStatusTitleAt, status->title);
  return true;
}

bool StatusTextField(const uint8_t* payload, uint8_t at, char (&text)[kStatusTextField]) {
  uint8_t n = 0;
  for (; n + 1 < kStatusTextField && payload[at + n] != 0; n++) text[n] = static_cast<char>(payload[at + n]);
  text[n] = '\0';
  return payload[at + kStatusTextField - 1] == 0;
}

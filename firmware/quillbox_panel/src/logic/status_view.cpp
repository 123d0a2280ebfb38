#include "status_view.h"

namespace {

constexpr uint8_t kTimeEnd = 7;  // the time ends before this column, "entry/length" before
                                 // the last, and the shuffle mark takes the last

char StateGlyph(uint8_t playState) {
  if (playState == kPaused) return kGlyphPause;
  if (playState == kStopped) return kGlyphStop;
  return kGlyphPlay;
}

uint8_t PutDigits(char* at, uint16_t value) {
  char digits[5];
  uint8_t n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0 && n < sizeof digits);
  for (uint8_t i = 0; i < n; i++) at[i] = digits[n - 1 - i];
  return n;
}

}  // namespace

void FormatTime(int8_t minutes, int8_t seconds, bool remainingAsked, char (&text)[8]) {
  const bool left = seconds < 0 || (minutes < 0 && remainingAsked);
  // Played time counts minutes up to 255 in the unsigned byte; time left is at most 128
  // (a time left with positive minutes is no reading the plug-in makes, but may come).
  const uint16_t m = left ? static_cast<uint16_t>(minutes < 0 ? -minutes : minutes) : static_cast<uint8_t>(minutes);
  const uint8_t s = static_cast<uint8_t>(seconds < 0 ? -seconds : seconds) % 60;
  uint8_t n = 0;
  if (left) text[n++] = '-';
  n = static_cast<uint8_t>(n + PutDigits(text + n, m));
  text[n++] = ':';
  text[n++] = static_cast<char>('0' + s / 10);
  text[n++] = static_cast<char>('0' + s % 10);
  text[n] = '\0';
}

void PutStatusRow(Screen* screen, uint8_t row, const PanelStatus& status, bool remainingAsked) {
  for (uint8_t column = 0; column < Columns(); column++) PutChar(screen, row, column, ' ');
  char time[8];
  FormatTime(status.minutes, status.seconds, remainingAsked, time);
  uint8_t length = 0;
  while (time[length] != '\0') length++;
  PutText(screen, row, static_cast<uint8_t>(kTimeEnd > length ? kTimeEnd - length : 0), time);
  PutChar(screen, row, 0, StateGlyph(status.playState));  // over the sign of "-128:00", left once in years
  if (status.length > 0) {
    // "entry/length", entries counted from 1 as a user counts them.
    char entries[12];
    uint8_t n = PutDigits(entries, static_cast<uint16_t>(status.position + 1));
    entries[n++] = '/';
    n = static_cast<uint8_t>(n + PutDigits(entries + n, status.length));
    entries[n] = '\0';
    PutText(screen, row, static_cast<uint8_t>(Columns() - 1 - n), entries);
  }
  if (status.shuffle != 0) PutChar(screen, row, static_cast<uint8_t>(Columns() - 1), kGlyphShuffle);
}

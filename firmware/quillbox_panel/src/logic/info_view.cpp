#include "info_view.h"

#include "title_scroll.h"

SongInfoFields ShownInfo;

namespace {

constexpr uint8_t kPages = 4;  // artist, title, length and bitrate, year and type
uint8_t Page = 0;

void ShowText(uint32_t nowMs) {
  const char* text = Page == 0 ? ShownInfo.artist : ShownInfo.title;
  ScrollSetTitle(&ViewScroll, text[0] != '\0' ? text : "?", nowMs, Columns() - 1);
}

void DrawLengthAndBitrate(Screen* screen) {
  uint8_t at = PutFlash(screen, 0, 0, FLASH_TEXT("Length  "));
  at = PutNumber(screen, 0, at, ShownInfo.minutes);
  PutChar(screen, 0, at++, ':');
  const uint8_t seconds = ShownInfo.seconds < 0 ? 0 : static_cast<uint8_t>(ShownInfo.seconds);
  PutChar(screen, 0, at++, static_cast<char>('0' + seconds / 10 % 10));
  PutChar(screen, 0, at, static_cast<char>('0' + seconds % 10));
  at = PutFlash(screen, 1, 0, FLASH_TEXT("Bitrate "));
  if (ShownInfo.bitrate == 0) {
    PutChar(screen, 1, at, '?');
  } else {
    PutFlash(screen, 1, PutNumber(screen, 1, at, ShownInfo.bitrate), FLASH_TEXT("kbps"));
  }
}

void DrawYearAndType(Screen* screen) {
  const uint8_t at = PutFlash(screen, 0, 0, FLASH_TEXT("Year    "));
  if (ShownInfo.year == 0) {
    PutChar(screen, 0, at, '?');
  } else {
    PutNumber(screen, 0, at, ShownInfo.year);
  }
  PutFolded(screen, 1, PutFlash(screen, 1, 0, FLASH_TEXT("Type    ")), ShownInfo.type);
}

}  // namespace

void OpenInfo(uint32_t nowMs) {
  Page = 0;
  ShowText(nowMs);
}

bool InfoKey(const KeyEvent& e, uint32_t nowMs) {
  // Select closes on its release, not as it goes down: the encoder's push goes down before
  // it is turned, and a push-and-turn anticlockwise is Left, which closes them already;
  // closing on the push would leave that Left to the list below.
  if (e.key == Key::Select) return e.action == KeyAction::Short;
  if (e.action != KeyAction::Down && e.action != KeyAction::Repeat) return false;
  if (e.key == Key::Left) return true;
  if (e.key == Key::Down && Page + 1 < kPages) Page++;
  if (e.key == Key::Up && Page > 0) Page--;
  if (Page < 2) ShowText(nowMs);
  return false;
}

void DrawInfo(Screen* screen) {
  switch (Page) {
    case 0:
      PutFlash(screen, 0, 0, FLASH_TEXT("Artist"));
      ScrollPut(ViewScroll, screen, 1);
      break;
    case 1:
      PutFlash(screen, 0, 0, FLASH_TEXT("Title"));
      ScrollPut(ViewScroll, screen, 1);
      break;
    case 2: DrawLengthAndBitrate(screen); break;
    default: DrawYearAndType(screen); break;
  }
  if (Page > 0) PutChar(screen, 0, Columns() - 1, kGlyphUp);
  if (Page + 1 < kPages) PutChar(screen, 1, Columns() - 1, kGlyphDown);
}

bool InfoStep(uint32_t nowMs) { return Page < 2 && ScrollStep(&ViewScroll, nowMs); }

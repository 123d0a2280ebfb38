#include "title_scroll.h"

#include <string.h>

#include "text_fold.h"

TitleScroll ViewScroll;

bool ScrollSetTitle(TitleScroll* scroll, const char* title, uint32_t nowMs, uint8_t width) {
  char folded[kScrollTextRoom];
  const uint8_t length = FoldText(title, 0xFF, folded, sizeof folded);
  if (width == 0) width = Columns();
  if (width == scroll->width && length == scroll->length && memcmp(folded, scroll->text, length) == 0) return false;
  scroll->width = width;
  memcpy(scroll->text, folded, sizeof folded);
  scroll->length = length;
  scroll->offset = 0;
  scroll->nextMs = nowMs + kScrollPauseMs;
  return true;
}

bool ScrollStep(TitleScroll* scroll, uint32_t nowMs) {
  if (scroll->length <= scroll->width || static_cast<int32_t>(nowMs - scroll->nextMs) < 0) return false;
  const uint8_t lap = static_cast<uint8_t>(scroll->length + kScrollGap);
  scroll->offset = static_cast<uint8_t>((scroll->offset + 1) % lap);
  scroll->nextMs = nowMs + (scroll->offset == 0 ? kScrollPauseMs : kScrollStepMs);
  return true;
}

void ScrollPut(const TitleScroll& scroll, Screen* screen, uint8_t row, uint8_t column) {
  const uint8_t width = scroll.width;
  const uint8_t lap = static_cast<uint8_t>(scroll.length + kScrollGap);
  for (uint8_t i = 0; i < width; i++) {
    char c = ' ';
    if (scroll.length <= width) {
      if (i < scroll.length) c = scroll.text[i];
    } else {
      const uint8_t at = static_cast<uint8_t>((scroll.offset + i) % lap);
      if (at < scroll.length) c = scroll.text[at];
    }
    // Wider than the row: it goes on at the start of the next (the 20x4 status title).
    const uint8_t at = static_cast<uint8_t>(column + i);
    PutChar(screen, static_cast<uint8_t>(row + at / Columns()), static_cast<uint8_t>(at % Columns()), c);
  }
}

#include "logic/title_scroll.h"

#include <string.h>

#include "logic/text_fold.h"

bool ScrollSetTitle(TitleScroll* scroll, const char* title, uint32_t nowMs) {
  char folded[kScrollTextRoom];
  const uint8_t length = FoldText(title, 0xFF, folded, sizeof folded);
  if (length == scroll->length && memcmp(folded, scroll->text, length) == 0) return false;
  memcpy(scroll->text, folded, sizeof folded);
  scroll->length = length;
  scroll->offset = 0;
  scroll->nextMs = nowMs + kScrollPauseMs;
  return true;
}

bool ScrollStep(TitleScroll* scroll, uint32_t nowMs) {
  if (scroll->length <= kColumns || static_cast<int32_t>(nowMs - scroll->nextMs) < 0) return false;
  const uint8_t lap = static_cast<uint8_t>(scroll->length + kScrollGap);
  scroll->offset = static_cast<uint8_t>((scroll->offset + 1) % lap);
  scroll->nextMs = nowMs + (scroll->offset == 0 ? kScrollPauseMs : kScrollStepMs);
  return true;
}

void ScrollPut(const TitleScroll& scroll, Screen* screen, uint8_t row) {
  const uint8_t lap = static_cast<uint8_t>(scroll.length + kScrollGap);
  for (uint8_t column = 0; column < kColumns; column++) {
    char c = ' ';
    if (scroll.length <= kColumns) {
      if (column < scroll.length) c = scroll.text[column];
    } else {
      const uint8_t at = static_cast<uint8_t>((scroll.offset + column) % lap);
      if (at < scroll.length) c = scroll.text[at];
    }
    PutChar(screen, row, column, c);
  }
}

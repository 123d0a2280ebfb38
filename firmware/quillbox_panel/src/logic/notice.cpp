#include "notice.h"

namespace {

FlashText Shown = {nullptr};
uint32_t UntilMs = 0;

}  // namespace

void ShowNotice(FlashText text, uint32_t nowMs) {
  Shown = text;
  UntilMs = nowMs + kNoticeMs;
}

bool NoticeShown(uint32_t nowMs) { return Shown.at != nullptr && static_cast<int32_t>(nowMs - UntilMs) < 0; }

bool NoticeEnded(uint32_t nowMs) {
  if (Shown.at == nullptr || NoticeShown(nowMs)) return false;
  Shown.at = nullptr;
  return true;
}

void ClearNotice() { Shown.at = nullptr; }

void PutNotice(Screen* screen, uint8_t row) {
  for (uint8_t column = 0; column < Columns(); column++) PutChar(screen, row, column, ' ');
  if (Shown.at != nullptr) PutFlash(screen, row, 0, Shown);
}

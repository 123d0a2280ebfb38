// A short message on the second row that says what a key did ("Next", "Shuffle on") or
// what went wrong ("No reply"), for a moment, before that row shows what it showed.
#pragma once
#include <stdint.h>

#include "flash_text.h"
#include "screen.h"

constexpr uint16_t kNoticeMs = 1500;

void ShowNotice(FlashText text, uint32_t nowMs);
// True while a notice is to be shown; false once its moment is over (or none was shown).
bool NoticeShown(uint32_t nowMs);
// True once when the notice's moment has just ended, so the row is drawn again.
bool NoticeEnded(uint32_t nowMs);
void PutNotice(Screen* screen, uint8_t row);
void ClearNotice();

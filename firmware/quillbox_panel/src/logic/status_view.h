// The status screen: what the player is doing, from the last status frame.
//
//   ▶ -3:05  12/345⇄      play state, time, entry and playlist length, shuffle
//   Blue Moon Over Th     the title, scrolling when it is longer than the display
#pragma once
#include <stdint.h>

#include "screen.h"
#include "../wire/status_payload.h"

// The time as the status frame gives it: "m:ss" played, or "-m:ss" left (the plug-in
// sends the time left as negative numbers). remainingAsked is the panel's own idea of
// the mode, which settles the one reading the bytes cannot: whole minutes left, whose
// seconds byte is 0. At most 7 characters ("-128:00") and a NUL.
void FormatTime(int8_t minutes, int8_t seconds, bool remainingAsked, char (&text)[8]);

// The first row of the status screen.
void PutStatusRow(Screen* screen, uint8_t row, const PanelStatus& status, bool remainingAsked);

// A song's details ("I") on pages of two rows: artist, title, length and bitrate, year
// and file type. Up and Down turn the pages; Left or Select closes them.
#pragma once
#include <stdint.h>

#include "keys.h"
#include "screen.h"
#include "../wire/reply_form.h"

extern SongInfoFields ShownInfo;

void OpenInfo(uint32_t nowMs);
// True when the pages are to close.
bool InfoKey(const KeyEvent& event, uint32_t nowMs);
void DrawInfo(Screen* screen);
// Moves a long artist or title on; true when it moved.
bool InfoStep(uint32_t nowMs);

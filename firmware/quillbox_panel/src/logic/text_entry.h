// Typing a search text with five keys: Up and Down choose the character under the cursor
// (letters, digits, a blank and a few signs, going round), Right moves on to the next
// place (a new place starts blank), Left moves back, and Select ends. Blanks at the end
// are no part of the text. At most 19 characters: what the search command carries.
#pragma once
#include <stdint.h>

#include "flash_text.h"
#include "../wire/command_payload.h"

// The characters a place goes through, in order.
extern const char kTextCharacters[] FLASH;
constexpr uint8_t kTextCharacterCount = 42;

struct TextEntry {
  char text[kSearchTextRoom];  // NUL-terminated; blanks where nothing was chosen
  uint8_t length;              // places opened so far, 1 to 19
  uint8_t at;                  // the cursor's place
};

void EntryStart(TextEntry* entry);
// The character under the cursor, steps characters on (Up: 1, Down: -1), going round.
void EntryTurn(TextEntry* entry, int8_t steps);
// Right: the next place, opened blank; false at the last place.
bool EntryRight(TextEntry* entry);
// Left: the place before; false at the first (the panel then leaves the entry).
bool EntryLeft(TextEntry* entry);
// The text without its trailing blanks, into out (room for 19 characters and the NUL).
void EntryText(const TextEntry& entry, char (&out)[kSearchTextRoom]);

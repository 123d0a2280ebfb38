#include "text_entry.h"

#include <string.h>

const char kTextCharacters[] FLASH = " abcdefghijklmnopqrstuvwxyz0123456789-'&.!";
static_assert(sizeof kTextCharacters == kTextCharacterCount + 1, "the count is the characters'");

namespace {

char CharacterAt(uint8_t i) { return static_cast<char>(FlashByte(&kTextCharacters[i])); }

uint8_t IndexOf(char c) {
  for (uint8_t i = 0; i < kTextCharacterCount; i++) {
    if (CharacterAt(i) == c) return i;
  }
  return 0;
}

}  // namespace

void EntryStart(TextEntry* e) {
  memset(e->text, 0, sizeof e->text);
  e->text[0] = ' ';
  e->length = 1;
  e->at = 0;
}

void EntryTurn(TextEntry* e, int8_t steps) {
  const int16_t turned = static_cast<int16_t>(IndexOf(e->text[e->at]) + steps);
  const int16_t count = kTextCharacterCount;
  e->text[e->at] = CharacterAt(static_cast<uint8_t>(((turned % count) + count) % count));
}

bool EntryRight(TextEntry* e) {
  if (e->at + 1 >= kMaxSearchText) return false;
  e->at++;
  if (e->at == e->length) {
    e->text[e->at] = ' ';
    e->length++;
  }
  return true;
}

bool EntryLeft(TextEntry* e) {
  if (e->at == 0) return false;
  e->at--;
  return true;
}

void EntryText(const TextEntry& e, char (&out)[kSearchTextRoom]) {
  uint8_t n = e.length;
  while (n > 0 && e.text[n - 1] == ' ') n--;
  memcpy(out, e.text, n);
  out[n] = '\0';
}

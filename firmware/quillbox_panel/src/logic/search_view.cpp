#include "search_view.h"

#include "text_entry.h"

namespace {

TextEntry Typed;

}  // namespace

void OpenSearch() { EntryStart(&Typed); }

SearchKey SearchViewKey(const KeyEvent& e) {
  const bool pressed = e.action == KeyAction::Down || e.action == KeyAction::Repeat;
  if (pressed && e.key == Key::Up) EntryTurn(&Typed, 1);
  if (pressed && e.key == Key::Down) EntryTurn(&Typed, -1);
  if (pressed && e.key == Key::Right) EntryRight(&Typed);
  if (pressed && e.key == Key::Left && !EntryLeft(&Typed)) return SearchKey::Cancel;
  if (e.action == KeyAction::Short && e.key == Key::Select) {
    char text[kSearchTextRoom];
    EntryText(Typed, text);
    return text[0] != '\0' ? SearchKey::Find : SearchKey::Cancel;
  }
  return SearchKey::Typing;
}

void SearchedText(char (&text)[kSearchTextRoom]) { EntryText(Typed, text); }

void DrawSearch(Screen* screen) {
  // The last 16 places up to the cursor's, when the text is longer than the display.
  const uint8_t first = Typed.at >= Columns() ? static_cast<uint8_t>(Typed.at - Columns() + 1) : 0;
  for (uint8_t i = first; i < Typed.length && i - first < Columns(); i++) {
    const char c = Typed.text[i];
    PutChar(screen, 0, static_cast<uint8_t>(i - first), i == Typed.at && c == ' ' ? '_' : c);
  }
  const uint8_t mark = static_cast<uint8_t>(Typed.at - first);
  PutChar(screen, 1, mark, '^');
  PutFlash(screen, 1, mark < 8 ? 8 : 0, FLASH_TEXT("Sel=find"));
}

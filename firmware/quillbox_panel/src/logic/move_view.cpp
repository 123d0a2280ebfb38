#include "move_view.h"

#include "list_transfer.h"

MoveKey MoveViewKey(const KeyEvent& e) {
  const bool pressed = e.action == KeyAction::Down || e.action == KeyAction::Repeat;
  if (pressed && (e.key == Key::Up || e.key == Key::Down)) WindowMove(&ShownList, e.key == Key::Up ? -1 : 1);
  if (e.action != KeyAction::Short) return MoveKey::Choosing;
  if (e.key == Key::Select) return MoveKey::Place;
  return e.key == Key::Left ? MoveKey::Cancel : MoveKey::Choosing;
}

void DrawMove(Screen* screen, uint16_t moved) {
  // Places counted from 1, as the user counts them.
  uint8_t at = PutFlash(screen, 0, 0, FLASH_TEXT("Move "));
  at = PutNumber(screen, 0, at, static_cast<uint16_t>(moved + 1));
  at = PutFlash(screen, 0, at, FLASH_TEXT(" to "));
  PutNumber(screen, 0, at, static_cast<uint16_t>(ShownList.cursor + 1));
  PutChar(screen, 1, 0, '>');
  const char* title = WindowTitle(ShownList, ShownList.cursor);
  if (title != nullptr) {
    PutFolded(screen, 1, 1, title);
  } else {
    PutChar(screen, 1, 1, kGlyphMore);
  }
}

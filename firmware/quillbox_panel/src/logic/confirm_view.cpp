#include "confirm_view.h"

#include "title_scroll.h"

namespace {

Question Pending = Question::Clear;

}  // namespace

void AskToConfirm(Question question, const char* subject, uint32_t nowMs) {
  Pending = question;
  ScrollSetTitle(&ViewScroll, subject, nowMs);
}

Question Asked() { return Pending; }

Answer ConfirmKey(const KeyEvent& e) {
  if (e.action != KeyAction::Short) return Answer::None;
  if (e.key == Key::Select) return Answer::Yes;
  return e.key == Key::Left ? Answer::No : Answer::None;
}

void DrawConfirm(Screen* screen) {
  if (Pending == Question::Dump) {
    PutFlash(screen, 0, 0, FLASH_TEXT("Dump? Sel=yes"));
    ScrollPut(ViewScroll, screen, 1);
  } else {
    PutFlash(screen, 0, 0, FLASH_TEXT("Clear playlist?"));
    PutFlash(screen, 1, 0, FLASH_TEXT("Sel=yes Left=no"));
  }
}

bool ConfirmStep(uint32_t nowMs) { return Pending == Question::Dump && ScrollStep(&ViewScroll, nowMs); }

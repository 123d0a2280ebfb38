#include "setup_view.h"

#include "board_io.h"
#include "panel_setup.h"

namespace {

constexpr uint8_t kSetupRows = 2;
uint8_t Cursor = 0;  // the row chosen: the display, the knob

FlashText SizeName(DisplaySize size) {
  return size == DisplaySize::k20x4 ? FLASH_TEXT("20x4") : FLASH_TEXT("16x2");
}

FlashText DetentName(DetentSetting detents) {
  switch (detents) {
    case DetentSetting::kFour: return FLASH_TEXT("4 steps");
    case DetentSetting::kTwo: return FLASH_TEXT("2 steps");
    case DetentSetting::kAuto: break;
  }
  return FLASH_TEXT("auto");
}

void StepValue() {
  PanelSetup setup = SetupInUse();
  if (Cursor == 0) {
    if (!DisplayOnBus()) return;  // the shield is 16x2
    setup.size = setup.size == DisplaySize::k20x4 ? DisplaySize::k16x2 : DisplaySize::k20x4;
  } else {
    setup.detents = static_cast<DetentSetting>((static_cast<uint8_t>(setup.detents) + 1) % 3);
  }
  SetupUse(setup);
}

void PutRow(Screen* screen, uint8_t row, FlashText label, FlashText value) {
  uint8_t length = 0;
  while (FlashChar(value, length) != '\0') length++;
  PutChar(screen, row, 0, row == Cursor ? '>' : ' ');
  PutFlash(screen, row, 1, label);
  PutFlash(screen, row, static_cast<uint8_t>(Columns() - length), value);
}

}  // namespace

static_assert(static_cast<uint8_t>(DetentSetting::kTwo) == 2, "three kinds of knob, stepped round");

void OpenSetup() { Cursor = 0; }

SetupKey SetupViewKey(const KeyEvent& e) {
  const bool press = e.action == KeyAction::Down || e.action == KeyAction::Repeat;
  if (press && e.key == Key::Up && Cursor > 0) Cursor--;
  if (press && e.key == Key::Down && Cursor + 1 < kSetupRows) Cursor++;
  if (e.action != KeyAction::Short) return press ? SetupKey::Changed : SetupKey::Nothing;
  if (e.key == Key::Select || e.key == Key::Right) StepValue();
  if (e.key != Key::Left) return SetupKey::Changed;
  SetupKeep();
  return SetupKey::Leave;
}

void DrawSetup(Screen* screen) {
  PutRow(screen, 0, FLASH_TEXT("Display"), SizeName(ShownDisplaySize()));
  PutRow(screen, 1, FLASH_TEXT("Knob"), DetentName(SetupInUse().detents));
  if (Rows() > 2) PutFlash(screen, 3, 0, FLASH_TEXT("Sel=change Left=done"));
}

#include "key_check_view.h"

#include "key_ladder.h"
#include "../uno_shield.h"

namespace {

uint16_t Reading = kAdcFullScale;

}  // namespace

FlashText KeyName(Key key) {
  switch (key) {
    case Key::Right: return FLASH_TEXT("Right");
    case Key::Up: return FLASH_TEXT("Up");
    case Key::Down: return FLASH_TEXT("Down");
    case Key::Left: return FLASH_TEXT("Left");
    case Key::Select: return FLASH_TEXT("Select");
    case Key::None: break;
  }
  return FLASH_TEXT("none");
}

void OpenKeyCheck() { Reading = kAdcFullScale; }

bool KeyCheckSample(uint16_t reading) {
  if (reading == Reading) return false;
  Reading = reading;
  return true;
}

KeyCheckKey KeyCheckViewKey(const KeyEvent& e) {
  if (e.action != KeyAction::Long) return KeyCheckKey::Nothing;
  switch (e.key) {
    case Key::Select: return KeyCheckKey::Calibrate;
    case Key::Right: return KeyCheckKey::Defaults;
    case Key::Left: return KeyCheckKey::Leave;
    default: return KeyCheckKey::Nothing;
  }
}

void DrawKeyCheck(Screen* screen) {
  PutFlash(screen, 0, PutFlash(screen, 0, 0, FLASH_TEXT("Key: ")), KeyName(KeyFromReading(Reading)));
  PutNumberEnd(screen, 0, Reading);
  PutFlash(screen, 1, 0, FLASH_TEXT("Sel=set Left=out"));
}

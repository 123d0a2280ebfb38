// The key check: what each key reads on this shield, and the key the panel takes it for.
// Reached from the options, or by holding a key while the panel starts, which works
// with or without a link.
//
//   Key: Left    511      the key under the thresholds in use, and the reading (0..1023)
//   Sel=set Left=out
//
//   key held   Select: calibrate (key_setup_view.h)   Left: back   Right: the defaults
//
// Right is 0 V on every shield, and 0 reads as Right under any ladder a calibration may
// store: the way back to the defaults is there whatever it made of the other keys.
#pragma once
#include <stdint.h>

#include "flash_text.h"
#include "keys.h"
#include "screen.h"

enum class KeyCheckKey : uint8_t { Nothing, Calibrate, Defaults, Leave };

void OpenKeyCheck();
// Takes the latest reading; true when what is shown changed.
bool KeyCheckSample(uint16_t reading);
KeyCheckKey KeyCheckViewKey(const KeyEvent& event);
void DrawKeyCheck(Screen* screen);

// "Right", "Up", "Down", "Left", "Select"; "none" for no key.
FlashText KeyName(Key key);

// The setup screen: the panel's parts (panel_setup.h), each on a row with its value.
// Up and Down (a turn) choose the row, Select or Right (a push) steps its value on,
// used at once so that the display shows what it is set to; Left (the push held while
// turning back) leaves, keeping what changed.
//
//   >Display    16x2        16x2 or 20x4
//    Knob       auto        auto, 4 steps or 2 steps a detent
//
// On the shield the display's row shows 16x2 and does not change.
#pragma once
#include <stdint.h>

#include "keys.h"
#include "screen.h"

enum class SetupKey : uint8_t { Nothing, Changed, Leave };

void OpenSetup();
SetupKey SetupViewKey(const KeyEvent& event);
void DrawSetup(Screen* screen);

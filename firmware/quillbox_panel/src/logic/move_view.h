// The new place of a playlist entry being moved: Up and Down choose it (the shown list's
// cursor), Select moves the entry there, Left leaves it where it was.
//
//   Move 3 to 7
//   >Night Drive         the entry now at the new place
#pragma once
#include <stdint.h>

#include "keys.h"
#include "screen.h"

enum class MoveKey : uint8_t { Choosing, Place, Cancel };

MoveKey MoveViewKey(const KeyEvent& event);
void DrawMove(Screen* screen, uint16_t moved);

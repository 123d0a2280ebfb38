// The shown list on the display's rows: the entry under the cursor behind a ">", scrolling
// when it is long, and the next entries below it (one on a 16x2, three on a 20x4). A title not fetched yet shows as "…".
//
//   key      short press                              long press
//   Up/Down  the entry above / below (held: keeps moving)
//   Select   open the folder, play the song           the entry's actions
//   Right    the entry's actions                      the last entry (from the last: the first)
//   Left     a folder up (folder list); back           back to the menu
#pragma once
#include <stdint.h>

#include "keys.h"
#include "screen.h"

enum class ListKey : uint8_t { Nothing, Moved, Enter, Actions, FolderUp, Close };

ListKey ListViewKey(const KeyEvent& event);
void DrawList(Screen* screen, uint32_t nowMs);
// Moves a long title under the cursor on; true when it moved.
bool ListStep(uint32_t nowMs);

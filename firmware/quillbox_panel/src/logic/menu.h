// A menu on the display's rows: the chosen item behind a ">", the next ones below it. The menus'
// items are actions (actions.h), kept in flash.
#pragma once
#include <stdint.h>

#include "actions.h"
#include "keys.h"
#include "screen.h"

struct Menu {
  const Action* items;  // in flash
  uint8_t count;
  uint8_t cursor;
};

// The main menu (a long Select on the status screen) and the options in it.
Menu MainMenu();
Menu OptionsMenu();
// What can be done with the shown list's entry under the cursor.
Menu EntryMenu();

Action MenuChosen(const Menu& menu);
// Up and Down move (and keep moving while held); true when the cursor moved.
bool MenuKey(Menu* menu, const KeyEvent& event);
void DrawMenu(const Menu& menu, Screen* screen);

// The panel's screens and the way between them:
//
//   status --Select long--> menu --> Browse / Playlist --> list --Right--> the entry's actions
//     |                       |--> Search (the text) --> the results, a list
//     |--Down long--> the playlist, a list      `--> Options
//   Left goes back one step: the actions to the list, a list to the menu (in the folder
//   list Left goes a folder up; a long Left goes back), the menu to the status screen.
//   Song info, a confirmation and a move's new place open from the entry's actions and
//   close back to the list.
//   The key check opens from the options, or when a key is held as the panel starts, and
//   goes back where it came from; calibrating the keys opens from it and returns to it.
//   The setup (the display's size, the encoder's kind) opens from the options, or when
//   the encoder's push is held as the panel starts, and goes back where it came from.
#pragma once
#include <stdint.h>

enum class View : uint8_t {
  Status,
  Menu,
  Options,
  List,
  Actions,
  Search,
  Info,
  Confirm,
  Move,
  KeyCheck,
  KeySetup,
  Setup
};

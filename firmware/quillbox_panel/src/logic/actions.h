// Everything the panel can ask the plug-in for from its menus and lists, as one set of
// actions: what each is called on the display, and the commands it sends. The replies
// say how it went, in a notice ("Added", "Not dumped"), and lists that an action changed
// are fetched again.
#pragma once
#include <stdint.h>

#include "flash_text.h"
#include "link.h"

enum class Action : uint8_t {
  // the main menu
  Browse,
  ShowPlaylist,
  Search,
  Options,
  // the options
  Shuffle,
  TimeShown,
  Louder,
  Softer,
  KeyCheck,
  Setup,
  Stop,  // the status screen's long Left, for a panel with the encoder alone
  // an entry of a list
  Open,
  PlayEntry,
  PlayFolder,
  Enqueue,
  AddToPlaylist,
  Info,
  Dump,
  Move,
  Delete,
  Save,
  Clear,
  TopFolder,
  NewSearch,
  CloseList,  // a folder list's long Left, for a panel with the encoder alone
  // the list's own keys
  FolderUp,
};

FlashText ActionName(Action action);

// Carries an entry's action out on the shown list's entry under the cursor (or a
// menu's). What needs another screen first (a confirmation, the new place of a moved
// entry, the search text) returns the screen to show; otherwise the notice is shown.
enum class Next : uint8_t {
  Stay,
  Status,
  List,
  Menu,
  Options,
  SearchText,
  Info,
  ConfirmDump,
  ConfirmClear,
  MovePlace,
  KeyCheck,
  Setup
};
Next DoAction(Action action, uint32_t nowMs);

// The second step of the actions that needed a screen.
void ConfirmDump(uint32_t nowMs);
void ConfirmClear(uint32_t nowMs);
void PlaceMovedEntry(uint16_t to, uint32_t nowMs);
void StartSearch(const char* text, uint32_t nowMs);

// The entry a confirmation or a move is about, and the title to show for it.
uint16_t ActionEntry();
const char* ActionTitle();

// The replies of the actions' commands; returns the screen to show next.
Next ActionReplied(const LinkRequest& request, const uint8_t* payload, uint8_t length, uint32_t nowMs);
Next ActionUnanswered(const LinkRequest& request, uint32_t nowMs);

#include "menu.h"

#include "list_transfer.h"
#include "list_window.h"

namespace {

// clang-format off
const Action kMainItems[] FLASH = {Action::Browse, Action::ShowPlaylist, Action::Search, Action::Options};
const Action kOptionItems[] FLASH = {Action::Shuffle, Action::TimeShown, Action::Louder, Action::Softer,
                                     Action::KeyCheck, Action::Stop, Action::Setup};
// A folder list's Left only goes up, and at the top lists the folder again: its way
// back to the menu is the long Left, which the encoder has not, so it is here too.
const Action kFolderItems[] FLASH = {Action::Open, Action::PlayFolder, Action::Enqueue, Action::TopFolder,
                                     Action::CloseList};
const Action kSongItems[] FLASH = {Action::PlayEntry, Action::AddToPlaylist, Action::Info, Action::Dump,
                                   Action::TopFolder, Action::CloseList};
const Action kPlaylistItems[] FLASH = {Action::PlayEntry, Action::Info, Action::Move, Action::Delete, Action::Dump,
                                       Action::Save, Action::Clear};
const Action kFoundItems[] FLASH = {Action::PlayEntry, Action::AddToPlaylist, Action::Info, Action::NewSearch};
// The empty playlist can still be saved (nothing is written) or cleared; an empty folder
// list still has its ways back to the top and to the menu.
const Action kEmptyPlaylistItems[] FLASH = {Action::Save, Action::Clear};
const Action kEmptyFolderItems[] FLASH = {Action::TopFolder, Action::CloseList};
const Action kEmptySearchItems[] FLASH = {Action::NewSearch};
// clang-format on

template <uint8_t N>
Menu MenuOf(const Action (&items)[N]) {
  return Menu{items, N, 0};
}

bool IsFolderEntry(const char* title) { return title != nullptr && title[0] == '\\'; }

}  // namespace

Menu MainMenu() { return MenuOf(kMainItems); }

Menu OptionsMenu() { return MenuOf(kOptionItems); }

Menu EntryMenu() {
  const char* title = ShownListHasEntries() ? WindowTitle(ShownList, ShownList.cursor) : nullptr;
  switch (ShownList.kind) {
    case ListKind::Playlist: return title != nullptr ? MenuOf(kPlaylistItems) : MenuOf(kEmptyPlaylistItems);
    case ListKind::Search: return title != nullptr ? MenuOf(kFoundItems) : MenuOf(kEmptySearchItems);
    case ListKind::Folder: break;
  }
  if (title == nullptr) return MenuOf(kEmptyFolderItems);
  return IsFolderEntry(title) ? MenuOf(kFolderItems) : MenuOf(kSongItems);
}

Action MenuChosen(const Menu& menu) { return static_cast<Action>(FlashByte(&menu.items[menu.cursor])); }

bool MenuKey(Menu* menu, const KeyEvent& event) {
  if (event.action != KeyAction::Down && event.action != KeyAction::Repeat) return false;
  if (event.key == Key::Up && menu->cursor > 0) {
    menu->cursor--;
    return true;
  }
  if (event.key == Key::Down && menu->cursor + 1 < menu->count) {
    menu->cursor++;
    return true;
  }
  return false;
}

void DrawMenu(const Menu& menu, Screen* screen) {
  for (uint8_t row = 0; row < Rows(); row++) {
    const uint8_t item = static_cast<uint8_t>(menu.cursor + row);
    if (item >= menu.count) break;
    PutChar(screen, row, 0, row == 0 ? '>' : ' ');
    PutFlash(screen, row, 1, ActionName(static_cast<Action>(FlashByte(&menu.items[item]))));
  }
  if (menu.cursor > 0) PutChar(screen, 0, Columns() - 1, kGlyphUp);
  if (menu.cursor + Rows() < menu.count) PutChar(screen, static_cast<uint8_t>(Rows() - 1), Columns() - 1, kGlyphDown);
}

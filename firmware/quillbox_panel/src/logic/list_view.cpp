#include "list_view.h"

#include "list_transfer.h"
#include "title_scroll.h"

static_assert(kWindowTitles >= 2 + kMaxRows, "the window holds every row a list shows below the cursor");

namespace {

ListKey Moving(Key key) {
  const uint16_t before = ShownList.cursor;
  WindowMove(&ShownList, key == Key::Up ? -1 : 1);
  return ShownList.cursor != before ? ListKey::Moved : ListKey::Nothing;
}

ListKey ToTheEnd() {
  if (ShownList.cursor == WindowLast(ShownList) && ShownList.count != kCountUnknown) {
    WindowJump(&ShownList, 0);
  } else {
    WindowToTheEnd(&ShownList);
  }
  return ListKey::Moved;
}

void PutEntry(Screen* screen, uint8_t row, uint16_t index) {
  const char* title = WindowTitle(ShownList, index);
  if (title != nullptr) {
    PutFolded(screen, row, 1, title);
  } else {
    PutChar(screen, row, 1, kGlyphMore);
  }
}

}  // namespace

ListKey ListViewKey(const KeyEvent& e) {
  const bool held = e.action == KeyAction::Down || e.action == KeyAction::Repeat;
  if ((e.key == Key::Up || e.key == Key::Down) && held) return Moving(e.key);
  const bool folders = ShownList.kind == ListKind::Folder;
  if (e.action == KeyAction::Short) {
    switch (e.key) {
      case Key::Select: return ShownListHasEntries() ? ListKey::Enter : ListKey::Actions;
      case Key::Right: return ListKey::Actions;
      case Key::Left: return folders ? ListKey::FolderUp : ListKey::Close;
      default: return ListKey::Nothing;
    }
  }
  if (e.action == KeyAction::Long) {
    switch (e.key) {
      case Key::Select: return ListKey::Actions;
      case Key::Right: return ToTheEnd();
      case Key::Left: return ListKey::Close;
      default: return ListKey::Nothing;
    }
  }
  return ListKey::Nothing;
}

void DrawList(Screen* screen, uint32_t nowMs) {
  if (ListLoading()) {
    PutFlash(screen, 0, 0, FLASH_TEXT("Loading"));
    PutChar(screen, 0, 7, kGlyphMore);
    return;
  }
  if (!ShownListHasEntries()) {
    if (ListFailed()) {
      PutFlash(screen, 0, 0, FLASH_TEXT("No reply"));
    } else if (ShownList.kind == ListKind::Search) {
      PutFlash(screen, 0, 0, FLASH_TEXT("No results"));
    } else {
      PutFlash(screen, 0, 0,
               ShownList.kind == ListKind::Playlist ? FLASH_TEXT("Playlist empty") : FLASH_TEXT("Empty folder"));
    }
    return;
  }
  const uint16_t cursor = ShownList.cursor;
  PutChar(screen, 0, 0, '>');
  const char* title = WindowTitle(ShownList, cursor);
  if (title != nullptr) {
    ScrollSetTitle(&ViewScroll, title, nowMs, Columns() - 1);
    ScrollPut(ViewScroll, screen, 0, 1);
  } else {
    PutEntry(screen, 0, cursor);
  }
  for (uint8_t row = 1; row < Rows(); row++) {  // the entries after it, as many as there are rows
    if (cursor + row < WindowEntriesKnown(ShownList)) PutEntry(screen, row, static_cast<uint16_t>(cursor + row));
  }
}

bool ListStep(uint32_t nowMs) { return ScrollStep(&ViewScroll, nowMs); }

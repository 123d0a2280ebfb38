#include "list_window.h"

#include <string.h>

namespace {

// Where the window starts for a cursor: the cursor in its third row, so that a step up
// and a few down are held, and never past the end of a known list.
uint16_t WindowStartFor(const ListWindow& w, uint16_t cursor) {
  if (w.count != kCountUnknown && w.count <= kWindowTitles) return 0;
  uint16_t start = cursor > 2 ? static_cast<uint16_t>(cursor - 2) : 0;
  if (w.count != kCountUnknown && w.count > kWindowTitles && start > w.count - kWindowTitles) {
    start = static_cast<uint16_t>(w.count - kWindowTitles);
  }
  return start;
}

bool Holds(const ListWindow& w, uint16_t index) {
  return index >= w.first && index < w.first + kWindowTitles && (w.held & (1u << (index - w.first))) != 0;
}

// Moves the window to start at `start`, keeping the titles it still covers. In place,
// slot by slot in the direction of the move so that no title is overwritten before it
// has moved: a copy of the window would be the deepest frame on the stack (240 bytes).
void ShiftTo(ListWindow* w, uint16_t start) {
  if (start == w->first) return;
  const bool forward = start > w->first;
  const uint16_t by = forward ? static_cast<uint16_t>(start - w->first) : static_cast<uint16_t>(w->first - start);
  uint8_t held = 0;
  if (by < kWindowTitles) {
    for (uint8_t k = 0; k < kWindowTitles - by; k++) {
      const uint8_t to = forward ? k : static_cast<uint8_t>(kWindowTitles - 1 - k);
      const uint8_t from = static_cast<uint8_t>(forward ? to + by : to - by);
      memcpy(w->titles[to], w->titles[from], kListTitleRoom);
    }
    constexpr uint8_t kAllHeld = (1u << kWindowTitles) - 1;
    held = static_cast<uint8_t>(forward ? w->held >> by : (w->held << by) & kAllHeld);
  }
  w->held = held;
  w->first = start;
}

}  // namespace

uint16_t WindowEntriesKnown(const ListWindow& w) { return w.count != kCountUnknown ? w.count : w.seen; }

void WindowOpen(ListWindow* w, ListKind kind, uint16_t knownCount) {
  memset(w, 0, sizeof *w);
  w->kind = kind;
  w->count = knownCount;
}

uint16_t WindowLast(const ListWindow& w) {
  const uint16_t known = WindowEntriesKnown(w);
  return known > 0 ? static_cast<uint16_t>(known - 1) : 0;
}

void WindowJump(ListWindow* w, uint16_t index) {
  w->cursor = index > WindowLast(*w) ? WindowLast(*w) : index;
  w->aim = w->count == kCountUnknown ? index : w->cursor;
  if (w->cursor < w->first || w->cursor >= w->first + kWindowTitles) ShiftTo(w, WindowStartFor(*w, w->cursor));
}

void WindowToTheEnd(ListWindow* w) { WindowJump(w, kAimAtTheEnd); }

void WindowMove(ListWindow* w, int16_t delta) {
  const int32_t to = static_cast<int32_t>(w->cursor) + delta;
  WindowJump(w, to < 0 ? 0 : static_cast<uint16_t>(to));
}

void WindowForget(ListWindow* w, uint16_t knownCount) {
  w->count = knownCount;
  w->seen = 0;
  w->held = 0;
  w->streaming = false;
  if (knownCount != kCountUnknown && w->cursor >= knownCount) w->cursor = knownCount > 0 ? knownCount - 1 : 0;
  w->aim = w->cursor;
  w->first = WindowStartFor(*w, w->cursor);
}

StreamNeed WindowNeeds(const ListWindow& w) {
  const bool countWanted = w.count == kCountUnknown;
  bool behind = false;
  bool ahead = false;
  for (uint8_t i = 0; i < kWindowTitles; i++) {
    const uint16_t index = static_cast<uint16_t>(w.first + i);
    if (index >= (countWanted ? kMaxEntries : w.count) || Holds(w, index)) continue;
    if (w.streaming && index >= w.next) {
      ahead = true;
    } else {
      behind = true;
    }
  }
  if (behind) return StreamNeed::Restart;
  if (ahead || (countWanted && w.streaming)) return StreamNeed::GoOn;
  return countWanted ? StreamNeed::Restart : StreamNeed::Nothing;
}

void WindowStreamStarts(ListWindow* w) {
  w->streaming = true;
  w->next = 0;
}

void WindowTakeTitle(ListWindow* w, const char* text, uint8_t size) {
  const uint16_t index = w->next++;
  if (w->next > w->seen) w->seen = w->next;
  if (w->aim > w->cursor && index <= w->aim) {
    if (index >= w->first + kWindowTitles) {
      ShiftTo(w, static_cast<uint16_t>(index - kWindowTitles + 1));
      w->cursor = index;
    } else if (index == w->aim) {
      w->cursor = index;
    }
  }
  if (index < w->first || index >= w->first + kWindowTitles) return;
  char* title = w->titles[index - w->first];
  const uint8_t n = size < kListTitleRoom - 1 ? size : kListTitleRoom - 1;
  memcpy(title, text, n);
  title[n] = '\0';
  w->held = static_cast<uint8_t>(w->held | (1u << (index - w->first)));
}

void WindowStreamEnds(ListWindow* w) {
  w->count = w->next;
  w->seen = w->next;
  w->streaming = false;
  if (w->cursor >= w->count || w->aim > w->cursor) WindowJump(w, w->aim > w->cursor ? w->aim : w->cursor);
}

void WindowStreamStops(ListWindow* w) { w->streaming = false; }

const char* WindowTitle(const ListWindow& w, uint16_t index) {
  return Holds(w, index) ? w.titles[index - w.first] : nullptr;
}

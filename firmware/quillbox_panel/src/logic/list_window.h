// A list of up to 500 titles on a panel with 2 KB of RAM: only the count, the cursor and
// a window of kWindowTitles titles around it are kept. The titles arrive by streaming
// the list from its start ("L" 6, then "L" 0 chunk after chunk); each title is kept only
// if it falls in the window. Moving within the window needs nothing from the line; moving
// beyond it moves the window, and what it now lacks is streamed again, from the start
// when it lies behind the stream, or simply by letting the running stream go on.
//
// The count is known from the start for the playlist (the status frame's length) and
// once a stream has reached the end of the list for the others; until then the cursor
// goes no further than the titles already seen, and a move past them is kept as the
// entry it aims at, which the cursor reaches as the stream brings it (a fast turn through
// a folder still being counted is not lost at the stream's front).
#pragma once
#include <stdint.h>

#include "../wire/command_payload.h"

constexpr uint8_t kWindowTitles = 6;
constexpr uint8_t kListTitleRoom = 40;  // a chunk's title: 39 characters and the NUL
constexpr uint16_t kMaxEntries = 500;
constexpr uint16_t kCountUnknown = 0xFFFF;

struct ListWindow {
  ListKind kind;
  uint16_t count;  // entries, or kCountUnknown
  uint16_t seen;   // titles seen by any stream of this list so far: the cursor's limit while the count is unknown
  uint16_t cursor;
  uint16_t first;  // the index of titles[0]
  uint8_t held;    // titles[i] holds entry first + i (one bit each)
  char titles[kWindowTitles][kListTitleRoom];
  uint16_t next;  // the index of the title the running stream brings next
  bool streaming;
  uint16_t aim;  // beyond the cursor: where it goes as the stream brings titles (the count unknown)
};
static_assert(kWindowTitles <= 8, "one bit per title in `held`");

// A new list at its first entry, nothing held. knownCount: the count, or kCountUnknown.
void WindowOpen(ListWindow* window, ListKind kind, uint16_t knownCount);
// The cursor moves by delta (clamped to the list), or to an index; the window follows.
void WindowMove(ListWindow* window, int16_t delta);
void WindowJump(ListWindow* window, uint16_t index);
// The entries known to be there: the count, or those seen while it is not known.
uint16_t WindowEntriesKnown(const ListWindow& window);
// The last entry, once the count is known; the last seen before.
uint16_t WindowLast(const ListWindow& window);
// The cursor to the last entry. While the count is not known, the window follows the
// stream to the list's end, so that the end costs one stream, not two.
constexpr uint16_t kAimAtTheEnd = kCountUnknown - 1;
void WindowToTheEnd(ListWindow* window);

// The list changed at the plug-in: everything is fetched again, the cursor kept where it
// can be.
void WindowForget(ListWindow* window, uint16_t knownCount);

// What the window still needs from the line: nothing, the running stream to go on, or a
// stream from the start (a title it lacks lies behind the running stream, or none runs).
enum class StreamNeed : uint8_t { Nothing, GoOn, Restart };
StreamNeed WindowNeeds(const ListWindow& window);

// The stream's events: it starts at entry 0, brings titles in order, ends at the list's end.
void WindowStreamStarts(ListWindow* window);
void WindowTakeTitle(ListWindow* window, const char* text, uint8_t size);
void WindowStreamEnds(ListWindow* window);
// A stream that is no longer wanted or was cut off.
void WindowStreamStops(ListWindow* window);

// Entry index's title, or null when the window does not hold it.
const char* WindowTitle(const ListWindow& window, uint16_t index);

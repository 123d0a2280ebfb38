#include "screen.h"

#include <curses.h>

#include <algorithm>
#include <cstdio>

#include "describe.h"

namespace {

constexpr int kHeaderRows = 4;  // title, status, folder and list name, rule
constexpr int kFooterRows = 2;  // rule, reply line

void Row(int row, const std::string& text, attr_t attr = A_NORMAL) {
  move(row, 0);
  clrtoeol();
  attron(attr);
  addnstr(text.c_str(), COLS);
  attroff(attr);
}

void DrawHeader(const ScreenState& s) {
  const Session& session = s.panel.session;
  char title[160];
  std::snprintf(title, sizeof title, "Quillbox panel on %s   frames %ld  bad %d", s.device.c_str(), session.frames,
                session.broken);
  std::string line = title;
  if (session.deviceGone) {
    line += "   DEVICE GONE";
  } else if (session.quiet) {
    line += "   LINE QUIET";
  }
  Row(0, line, A_REVERSE);
  if (!session.status) {
    Row(1, " waiting for the first status frame...");
    Row(2, "");
    return;
  }
  const Status& st = *session.status;
  char status[200];
  std::snprintf(status, sizeof status, " %-8s %7s   shuffle %-3s   entry %u of %u   %s", PlayStateName(st.playState),
                TimeText(st.minutes, st.seconds).c_str(), st.shuffle ? "on" : "off", st.position, st.length,
                st.title.c_str());
  Row(1, status, A_BOLD);
  Row(2, " folder " + st.folder);
}

void DrawList(ScreenState& s, int rows) {
  const ListKind kind = ShownList(s);
  const int k = static_cast<int>(kind);
  const auto& titles = s.panel.session.lists[k];
  const int count = static_cast<int>(titles.size());
  const ListFetch& fetch = s.panel.session.fetch;
  const bool fetching = fetch.active && fetch.kind == kind;
  char heading[128];
  std::snprintf(heading, sizeof heading, "-- %s, %d %s %s", ListTitle(kind), count, count == 1 ? "entry" : "entries",
                fetching || s.panel.session.listKnown[k] ? "" : "(not transferred yet)");
  std::string head = heading;
  if (fetching) head += "  transferring: " + std::to_string(fetch.titles.size()) + " received";
  Row(kHeaderRows - 1, head, A_DIM);
  int& cursor = s.cursor[k];
  int& top = s.top[k];
  cursor = std::clamp(cursor, 0, std::max(count - 1, 0));
  if (cursor < top) top = cursor;
  if (cursor >= top + rows) top = cursor - rows + 1;
  for (int r = 0; r < rows; r++) {
    const int i = top + r;
    if (i >= count) {
      Row(kHeaderRows + r, "");
      continue;
    }
    char entry[96];
    std::snprintf(entry, sizeof entry, "%c%4d  %s", i == cursor ? '>' : ' ', i, titles[static_cast<size_t>(i)].c_str());
    Row(kHeaderRows + r, entry, i == cursor ? A_REVERSE : A_NORMAL);
  }
}

// Lines that do not fit the screen's height go into a second column.
void DrawBox(const std::vector<std::string>& lines) {
  size_t width = 20;
  for (const std::string& l : lines) width = std::max(width, l.size());
  const int rows = static_cast<int>(lines.size());
  const int columns = rows + 2 > LINES ? 2 : 1;
  const int perColumn = (rows + columns - 1) / columns;
  const int w = std::min(static_cast<int>(width) * columns + 3 * columns + 1, COLS);
  const int h = std::min(perColumn + 2, LINES);
  WINDOW* box = newwin(h, w, std::max((LINES - h) / 2, 0), std::max((COLS - w) / 2, 0));
  ::box(box, 0, 0);
  for (int i = 0; i < rows; i++) {
    const int row = i % perColumn;
    const int column = 2 + (i / perColumn) * (static_cast<int>(width) + 3);
    if (row + 2 < h && column < w - 1) {
      mvwaddnstr(box, row + 1, column, lines[static_cast<size_t>(i)].c_str(), w - 1 - column);
    }
  }
  wnoutrefresh(box);
  delwin(box);
}

}  // namespace

ListKind ShownList(const ScreenState& s) { return s.panel.view.value_or(ListKind::Folder); }

void DrawScreen(ScreenState& s) {
  const int listRows = std::max(LINES - kHeaderRows - kFooterRows, 1);
  DrawHeader(s);
  DrawList(s, listRows);
  Row(LINES - 2, "-- ? keys   q quit", A_DIM);
  if (s.overlay == Overlay::Prompt) {
    Row(LINES - 1, s.prompt + s.input, A_BOLD);
  } else {
    Row(LINES - 1, s.lastReply);
  }
  touchwin(stdscr);  // a box closed since the last draw leaves nothing behind
  wnoutrefresh(stdscr);
  if (s.overlay == Overlay::Help || s.overlay == Overlay::Info || s.overlay == Overlay::Confirm) DrawBox(s.box);
  doupdate();
}

#include "encoder_turns.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "board_process.h"

namespace {

constexpr int kDetentsATurn = 20;
constexpr int kMostTurns = 10;
constexpr int kWaitMs = 5000;

double TimeOfLine(const std::string& line) { return std::strtod(line.c_str() + line.find(' ') + 1, nullptr); }

}  // namespace

bool SetUpSixteenByTwo(BoardProcess& board) {
  const struct {
    const char* command;
    const char* shows;
  } steps[] = {{"push long", ">Browse"}, {"turn +3", ">Options"}, {"push", ">Shuffle"}, {"turn +6", ">Setup"},
               {"push", ">Display"},     {"push", "16x2"},        {"turn -1 pushed", ">Shuffle"},
               {"turn -1 pushed", ">Browse"}};
  for (const auto& s : steps) {
    board.Send(s.command);
    if (!board.WaitForText(s.shows, kWaitMs)) return false;
  }
  // the menu closed: the status screen, its first row no list's
  board.Send("turn -1 pushed");
  return board.WaitForDisplay([](const BoardDisplay& d) { return d.row0.rfind(">", 0) != 0; }, kWaitMs);
}

DetentFigures TimeDetents(BoardProcess& board, int detents) {
  DetentFigures f;
  for (int i = 0; i < detents; i++) {
    size_t at = board.LineCount();
    board.Send("turn +1 5");
    const double settled = board.TimeOf("detent", "+1", at, &at, kWaitMs);
    const double shown = board.TimeOf("display", "|>", at, nullptr, kWaitMs);
    if (settled >= 0 && shown >= settled) f.toDisplay.push_back(shown - settled);
    board.Send("sleep 0.37");  // the detents fall at different points of the tick
  }
  return f;
}

WholeListFigures TimeWholeList(BoardProcess& board, int entries, double perSecond) {
  WholeListFigures f;
  f.perSecond = perSecond;
  char last[16];
  std::snprintf(last, sizeof last, "|>Song %03d", entries - 3);
  const size_t from = board.LineCount();
  char turn[48];
  std::snprintf(turn, sizeof turn, "turn +%d %.0f", kDetentsATurn, perSecond);
  double first = -1;
  for (int t = 0; t < kMostTurns; t++) {
    const size_t at = board.LineCount();
    board.Send(turn);
    // the turn's last detent, or the last entry showing before it
    size_t next = at;
    for (int d = 0; d < kDetentsATurn; d++) {
      size_t found = 0;
      if (board.TimeOf("detent", "+1", next, &found, kWaitMs) < 0) break;
      next = found + 1;
    }
    if (first < 0) first = board.TimeOf("detent", "+1", from, nullptr, 0);
    size_t shownAt = 0;
    const double shown = board.TimeOf("display", last, from, &shownAt, 600);
    if (shown < 0) continue;
    // the detents turned until the display showed the last entry
    for (const std::string& line : board.Lines()) {
      if (line.rfind("detent ", 0) == 0 && TimeOfLine(line) >= first && TimeOfLine(line) <= shown) f.detents++;
    }
    f.turns = static_cast<double>(f.detents) / kDetentsATurn;
    f.ms = shown - first;
    return f;
  }
  return f;
}

#include "terminal_ui.h"

#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <initializer_list>

#include "board_script.h"
#include "key_hold.h"
#include "terminal_keys.h"

namespace {

constexpr double kRedrawMs = 100;
// A held key repeats about 30 times a second: a detent each, a little faster, so that the
// encoder keeps up with the finger.
constexpr double kTerminalTurnRate = 40;

termios savedTerminal;
int screenFd = -1;

void GiveBackTerminal() {
  tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
  static const char kShowCursor[] = "\033[?25h\033[0m\n";
  if (screenFd >= 0 && write(screenFd, kShowCursor, sizeof kShowCursor - 1) < 0) return;
}

void OnSignal(int sig) {
  GiveBackTerminal();
  signal(sig, SIG_DFL);
  raise(sig);
}

void TakeTerminal(int fd) {
  screenFd = fd;
  tcgetattr(STDIN_FILENO, &savedTerminal);
  termios raw = savedTerminal;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  raw.c_cc[VMIN] = 0;
  raw.c_cc[VTIME] = 0;
  tcsetattr(STDIN_FILENO, TCSANOW, &raw);
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) signal(sig, OnSignal);
}

// The stats line without its first word, in four lines that fit 80 columns: the wire's,
// the keys', the chip's, the faults.
std::string Figures(const BoardFigures& f) {
  std::string line = StatsLine(f);
  line.erase(0, line.find(' ') + 1);
  for (const char* next : {" key-to-command-ms", " overruns", " faults"}) {
    const size_t at = line.find(next);
    if (at != std::string::npos) line.replace(at, 1, "\n\033[2K");
  }
  return line;
}

void Draw(std::FILE* to, const Board& board, BoardOutput& out, const std::string& link) {
  const Screen& s = board.Display().Shown();
  const char* look = s.light ? "\033[1;97;44m" : "\033[2m";
  std::fprintf(to, "\033[H\033[2Kquillbox-board   port %s: %s\n\n", link.c_str(), board.LineState());
  std::string rule;
  for (int i = 0; i < s.size.columns; i++) rule += "─";
  std::fprintf(to, "\033[2K  ┌%s┐\n", rule.c_str());
  for (int row = 0; row < s.size.rows; row++) {
    std::fprintf(to, "\033[2K  │%s%s\033[0m│", look, s.RowText(row).c_str());
    if (row == 0) std::fprintf(to, "   light %s", s.light ? "on" : "off");
    if (row == 1) std::fprintf(to, "   %s", board.Controls().c_str());
    std::fprintf(to, "\n");
  }
  std::fprintf(to, "\033[2K  └%s┘\n\n", rule.c_str());
  std::fprintf(to, "\033[2K%s\n\n", Figures(board.Figures()).c_str());
  std::fprintf(to, "\033[2Karrows: right up down left   Enter: select   l then a key: held 1 s   q: quit\n");
  if (board.HasEncoder()) std::fprintf(to, "\033[2K, and .: a detent left and right   space: push (l, space: long)\n");
  std::fprintf(to, "\n");
  for (const std::string& line : out.Recent()) std::fprintf(to, "\033[2K%s\n", line.c_str());
  std::fprintf(to, "\033[J");
  std::fflush(to);
}

void Apply(Board& board, const KeyChange& change) {
  if (change.up != PanelKey::None && board.Key() == change.up) board.SetKey(PanelKey::None);
  if (change.down != PanelKey::None) board.SetKey(change.down);
}

}  // namespace

int RunTerminal(Board& board, BoardOutput& out, std::FILE* screen, const std::string& link) {
  TakeTerminal(fileno(screen));
  std::atexit(GiveBackTerminal);
  std::fprintf(screen, "\033[2J\033[?25l");
  TerminalKeys keys;
  KeyHold hold;
  double drawnAt = -kRedrawMs;
  for (;;) {
    board.Step(STDIN_FILENO);
    uint8_t bytes[64];
    const ssize_t n = read(STDIN_FILENO, bytes, sizeof bytes);
    for (const TypedKey& t : keys.Feed(bytes, n > 0 ? static_cast<size_t>(n) : 0)) {
      if (t.quit) return 0;
      if (t.turn != 0) board.Turn(t.turn, kTerminalTurnRate);
      if (t.push) board.Push(t.longPress ? kLongPushMs : kPressMs);
      if (t.key != PanelKey::None) Apply(board, hold.Typed(t.key, t.longPress, board.NowMs()));
    }
    Apply(board, hold.Tick(board.NowMs()));
    if (board.NowMs() - drawnAt >= kRedrawMs) {
      Draw(screen, board, out, link);
      drawnAt = board.NowMs();
    }
  }
}

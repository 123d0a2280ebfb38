// quillbox-board: the panel's board (an Uno with the LCD keypad shield, or with an I2C
// display and a rotary encoder) simulated on simavr, running the panel firmware's ELF,
// its serial line on a pseudo-terminal.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "board.h"
#include "script_runner.h"
#include "terminal_ui.h"

namespace {

struct Options {
  BoardOptions board;
  std::string script;  // "-" for standard input
  double timeoutS = 10;
};

volatile sig_atomic_t stopAsked = 0;

void AskStop(int) { stopAsked = 1; }

void Usage(std::FILE* to) {
  std::fprintf(to,
               "usage: quillbox-board --firmware ELF --pty LINK [--bootloader HEX] [--blank] [--script FILE]\n"
               "                      [--timeout SECONDS] [--keys LADDER] [--trace] [--panel PANEL] [--encoder]\n"
               "                      [--detent-steps 4|2] [--i2c-address 0xNN] [--bus-fault sda-low|no-backpack]\n"
               "\n"
               "Runs the panel firmware on a simulated Uno with a panel (the 16x2 LCD keypad shield, or\n"
               "an I2C display and a rotary encoder), in step\n"
               "with the wall clock, its serial line (115200 8N1) on a pseudo-terminal linked at LINK\n"
               "(the path a Wine prefix maps as a COM port). A program opening the port resets it, and\n"
               "the bootloader (optiboot 4.4, as on an Uno) starts the firmware about 1.5 s later.\n"
               "  --firmware ELF     the firmware, built for the ATmega328P at 16 MHz\n"
               "  --bootloader HEX   the bootloader for the 1 KB boot section at 0x7C00 (default:\n"
               "                     optiboot_atmega328.hex beside the firmware)\n"
               "  --blank            the application flash empty, as a board with only its bootloader:\n"
               "                     a programmer (avrdude -c arduino) writes the firmware over the\n"
               "                     line; the ELF gives only its symbols\n"
               "  --pty LINK         where to link the line\n"
               "  --script FILE      run the commands in FILE (standard input, when it is not a\n"
               "                     terminal, is read as commands too) and print what happens\n"
               "  --timeout SECONDS  the longest a wait may take (default 10)\n"
               "  --keys LADDER      the shield's key readings, Right/Up/Down/Left/Select (default\n"
               "                     0/143/327/511/736; published: 0/144/329/504/741, 0/98/254/407/637,\n"
               "                     19/113/253/387/605, 0/131/308/483/725, 0/146/334/511/745,\n"
               "                     0/512/683/768/819)\n"
               "  --trace            also print each whole frame on the line (rx: PC to board)\n"
               "  --panel PANEL      shield (default), i2c-20x4 or i2c-16x2: an HD44780 on a PCF8574\n"
               "                     backpack (A4 SDA, A5 SCL) and an encoder (D2 A, D3 B, D12 switch)\n"
               "  --encoder          an encoder on the shield panel too, on the same pins\n"
               "  --detent-steps N   quadrature steps a detent: 4 (default, a whole cycle) or 2\n"
               "  --i2c-address A    the backpack's address, 0x20-0x27 or 0x38-0x3F (default 0x27)\n"
               "  --bus-fault F      sda-low: SDA held low; no-backpack: the backpack unplugged\n"
               "                     (no pull-ups either)\n"
               "Ends with status 1 when a wait timed out or the board met a fault (a \"fault\" line:\n"
               "what the real parts would not take), 2 for a wrong script or option.\n"
               "In a terminal: arrows and Enter are the keys, l then a key holds it 1 s, q quits;\n"
               "',' and '.' turn the encoder a detent, space pushes it (l, space: a long push).\n\n%s",
               ScriptHelp());
}

// The panel's options; a wrong value is reported.
bool PanelOption(const std::string& name, const std::string& value, BoardOptions* b) {
  bool good = false;
  if (name == "--panel") good = PanelFromName(value, &b->panel);
  if (name == "--detent-steps") {
    b->detentSteps = value == "2" ? 2 : 4;
    good = value == "2" || value == "4";
  }
  if (name == "--i2c-address") {
    char* end = nullptr;
    const long address = std::strtol(value.c_str(), &end, 16);
    good = value.rfind("0x", 0) == 0 && *end == '\0' && address > 0 && address < 0x80 &&
           ExpanderAddress(static_cast<uint8_t>(address));
    b->i2cAddress = static_cast<uint8_t>(address);
  }
  if (name == "--bus-fault") {
    good = value == "sda-low" || value == "no-backpack";
    b->busFault = value == "sda-low" ? BusFault::SdaLow : BusFault::NoBackpack;
  }
  if (!good) std::fprintf(stderr, "quillbox-board: %s: not a value it takes: %s (see --help)\n", name.c_str(), value.c_str());
  return good;
}

bool ParseOptions(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; i++) {
    const std::string a = argv[i];
    const bool hasValue = i + 1 < argc;
    if (a == "--help" || a == "-h") {
      Usage(stdout);
      std::exit(0);
    } else if (a == "--firmware" && hasValue) {
      o->board.firmware = argv[++i];
    } else if (a == "--bootloader" && hasValue) {
      o->board.bootloader = argv[++i];
    } else if (a == "--blank") {
      o->board.blank = true;
    } else if (a == "--pty" && hasValue) {
      o->board.link = argv[++i];
    } else if (a == "--script" && hasValue) {
      o->script = argv[++i];
    } else if (a == "--timeout" && hasValue) {
      o->timeoutS = std::atof(argv[++i]);
    } else if (a == "--keys" && hasValue) {
      if (!LadderFromText(argv[++i], &o->board.keys)) {
        std::fprintf(stderr, "quillbox-board: --keys takes five readings, Right/Up/Down/Left/Select: %s\n", argv[i]);
        return false;
      }
    } else if (a == "--trace") {
      o->board.trace = true;
    } else if (a == "--encoder") {
      o->board.encoder = true;
    } else if (hasValue && (a == "--panel" || a == "--detent-steps" || a == "--i2c-address" || a == "--bus-fault")) {
      if (!PanelOption(a, argv[++i], &o->board)) return false;
    } else {
      std::fprintf(stderr, "quillbox-board: unexpected argument %s\n", a.c_str());
      return false;
    }
  }
  return !o->board.firmware.empty() && !o->board.link.empty() && o->timeoutS > 0;
}

// The whole script is checked before the board starts.
bool LoadScript(const std::string& name, ScriptRunner& runner) {
  std::ifstream in(name);
  if (!in) {
    std::fprintf(stderr, "quillbox-board: cannot read %s\n", name.c_str());
    return false;
  }
  std::string line, error;
  bool good = true;
  for (int number = 1; std::getline(in, line); number++) {
    const auto step = ParseStep(line, &error);
    if (step) runner.Add(*step);
    if (!error.empty()) std::fprintf(stderr, "%s:%d: %s\n", name.c_str(), number, error.c_str());
    good = good && error.empty();
  }
  runner.EndOfInput();
  return good;
}

// Commands as they come on standard input; a wrong one is reported and skipped.
class StdinCommands {
 public:
  StdinCommands() { fcntl(STDIN_FILENO, F_SETFL, fcntl(STDIN_FILENO, F_GETFL) | O_NONBLOCK); }
  // Standard input while there is more to come on it, -1 after its end (which stays
  // readable, and would wake every sleep of the board).
  int Fd() const { return ended_ ? -1 : STDIN_FILENO; }
  void Take(ScriptRunner& runner) {
    if (ended_) return;
    char bytes[4096];
    const ssize_t n = read(STDIN_FILENO, bytes, sizeof bytes);
    if (n == 0) {
      if (!pending_.empty()) Add(runner, pending_);
      pending_.clear();
      runner.EndOfInput();
      ended_ = true;
    }
    if (n <= 0) return;
    pending_.append(bytes, static_cast<size_t>(n));
    size_t end;
    while ((end = pending_.find('\n')) != std::string::npos) {
      Add(runner, pending_.substr(0, end));
      pending_.erase(0, end + 1);
    }
  }

 private:
  void Add(ScriptRunner& runner, const std::string& line) {
    std::string error;
    const auto step = ParseStep(line, &error);
    if (step) runner.Add(*step);
    if (!error.empty()) std::fprintf(stderr, "quillbox-board: %s\n", error.c_str());
  }
  std::string pending_;
  bool ended_ = false;
};

int RunScript(const Options& o, Board& board, BoardOutput& out) {
  ScriptRunner runner(board, out, o.timeoutS * 1000);
  const bool fromFile = o.script != "-";
  if (fromFile && !LoadScript(o.script, runner)) return 2;
  StdinCommands commands;
  signal(SIGINT, AskStop);
  signal(SIGTERM, AskStop);
  std::string problem;
  if (!board.Start(&problem)) {
    std::fprintf(stderr, "quillbox-board: %s\n", problem.c_str());
    return 2;
  }
  while (!stopAsked) {
    board.Step(fromFile ? -1 : commands.Fd());
    if (!fromFile) commands.Take(runner);
    if (!runner.Tick()) break;
  }
  out.Print(StatsLine(board.Figures()));
  return (fromFile && runner.AnyTimeout()) || board.Faults() > 0 ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!ParseOptions(argc, argv, &o)) {
    std::fprintf(stderr, "usage: quillbox-board --firmware ELF --pty LINK [--script FILE]; see --help\n");
    return 2;
  }
  // simavr and its display part print on standard output as they go: the board's own
  // lines get a descriptor of their own, and standard output goes nowhere.
  const int own = dup(STDOUT_FILENO);
  const int nowhere = open("/dev/null", O_WRONLY);
  dup2(nowhere, STDOUT_FILENO);
  close(nowhere);
  std::FILE* lines = fdopen(own, "w");
  signal(SIGPIPE, SIG_IGN);
  if (o.script.empty() && !isatty(STDIN_FILENO)) o.script = "-";
  BoardOutput out(o.script.empty() ? nullptr : lines);
  Board board(o.board, out);
  if (!o.script.empty()) return RunScript(o, board, out);
  std::string problem;
  if (!board.Start(&problem)) {
    std::fprintf(stderr, "quillbox-board: %s\n", problem.c_str());
    return 2;
  }
  int status = RunTerminal(board, out, lines, o.board.link);
  if (status == 0 && board.Faults() > 0) status = 1;
  std::fprintf(lines, "\033[?25h\n%s\n", StatsLine(board.Figures()).c_str());
  return status;
}

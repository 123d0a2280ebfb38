// Figures of the panel firmware on the simulated board, against the real DLL in the
// emulated player under Wine: how soon a key reaches the wire and the display, how late
// after a status frame a command goes, whether a byte is lost, how much the CPU sleeps,
// the firmware's flash, RAM and stack, the way to the last of a long list, a search, and
// the board's faults (what the real parts would not take) over the whole run, and the
// way from the port's opening (a reset, the bootloader) to the first status screen.
// Everything is timed on the board's chip clock, which keeps to the wall clock, from its
// trace (quillbox-board --trace). Prints the figures and whether they meet their targets;
// fails only when a figure could not be produced, or when the board met a fault.
//
// --short: a few presses and a list of 100 entries, for the test suite. The full run's
// list of 300 entries, run through with a long Right, is the stack's deepest point.
// --panel i2c-20x4 (or i2c-16x2): the I2C panel driven by its encoder instead: a detent to
// the display, a list of 500 entries (100 short) from first to last by turning, the bus's
// busy share, overruns and faults over the list's transfers and the display's redraws.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "board_process.h"
#include "elf_sections.h"
#include "encoder_turns.h"
#include "panel_line.h"
#include "plugin_start.h"
#include "serial/port_recovery.h"  // kQuietAfterOpenMs
#include "tick_figures.h"

namespace {

constexpr int kBoardPort = 5;
constexpr double kLongPressMs = 700;  // the firmware's: a long press acts while still held
constexpr double kStartUpMs = 65;     // the board's: the chip's start-up time after each reset (low fuse 0xFF)

struct Rounds {
  int presses;      // of each timed key
  int listEntries;  // of the music folder, its working folders included
};
constexpr Rounds kFull = {10, 300};
constexpr Rounds kShort = {2, 100};
constexpr Rounds kEncoderFull = {10, 500};
constexpr Rounds kEncoderShort = {3, 100};
constexpr double kFastTurn = 40;  // detents a second: two turns of a 20-detent encoder

// Three songs the media library knows, playing, for the transport keys and the search.
const PlayerCommands kModel = {
    {"library", "C:\\Music\\a.mp3", "Blue Moon", "Nina Ray", "2004", "192", "200"},
    {"library", "C:\\Music\\b.mp3", "Night Drive", "Nina Ray", "2004", "192", "180"},
    {"library", "C:\\Music\\c.mp3", "Evening Song", "Les Amis", "1999", "128", "240"},
    {"playlist", "add", "C:\\Music\\a.mp3"},
    {"playlist", "add", "C:\\Music\\b.mp3"},
    {"playlist", "add", "C:\\Music\\c.mp3"},
    {"clock", "1"},
    {"state", "1"},
};

std::string Link() { return std::string(std::getenv("QB_PORT_DIR")) + "/com" + std::to_string(kBoardPort); }

// A music folder of `entries` entries: the two working folders and songs.
void MakeMusicFolder(PlayerProcess& player, int entries) {
  std::filesystem::create_directories(player.Folder() + "/Music/QB_Playlists");
  std::filesystem::create_directories(player.Folder() + "/Music/QB_Dumped");
  for (int i = 0; i < entries - 2; i++) {
    char name[32];
    std::snprintf(name, sizeof name, "Music/Song %03d.mp3", i);
    player.WriteFile(name, "x");
  }
}

std::string Start(PlayerProcess& player, BoardProcess& board, int entries, const std::string& panel) {
  MakeMusicFolder(player, entries);
  WriteCompleteSettings(player, kBoardPort);
  player.WriteFile("winamp.ini", "[Winamp]\r\nconfig_extlist=MP3\r\n");
  if (!board.Start(QB_PANEL_ELF, Link(), {"--trace", "--panel", panel})) return "the board did not take the port";
  PlayerCommands model = {{"ini", player.WindowsPath(player.Folder() + "/winamp.ini")}};
  model.insert(model.end(), kModel.begin(), kModel.end());
  const std::string launched = LaunchPlugin(player, model);
  if (!launched.empty()) return launched;
  if (!board.WaitForText(":", 10000)) return "the board showed no status";
  return "";
}

struct StartFigures {
  double bootMs = -1;      // the reset at the port's opening to the firmware's start
  double firmwareMs = -1;  // the firmware's start to its first screen that differs from the last
  double toStatusMs = -1;  // the port's opening to the first status screen
};

double TimeOfLine(const std::string& line) { return std::strtod(line.c_str() + line.find(' ') + 1, nullptr); }

bool Starts(const std::string& line, const char* kind) { return line.rfind(kind, 0) == 0; }

// The plug-in opens the port at its start (the chip resets); the bootloader waits for a
// programmer and, on silence, starts the firmware by its watchdog, after which the chip
// waits out its start-up time once more. The last such start of the board's lines.
StartFigures TimeStartUp(BoardProcess& board) {
  StartFigures f;
  double opened = -1;
  double started = -1;
  for (const std::string& line : board.Lines()) {
    const double t = TimeOfLine(line);
    if (Starts(line, "line ") && line.find("opened") != std::string::npos) {
      opened = t;
      started = -1;
    } else if (opened >= 0 && Starts(line, "reset ") && line.find("watchdog") != std::string::npos) {
      started = t + kStartUpMs;
      f.bootMs = started - opened;
      f.firmwareMs = -1;
    } else if (started >= 0 && Starts(line, "display ")) {
      // The firmware's first screen may be the one it showed before the reset ("No
      // link"), which the display's lines do not repeat: then its first status screen.
      if (f.firmwareMs < 0) f.firmwareMs = t - started;
      if (line.find(':') == std::string::npos) continue;
      f.toStatusMs = t - opened;
      opened = started = -1;
    }
  }
  return f;
}

struct KeyFigures {
  std::vector<double> toNotice;   // from a short press's release to the firmware saying what it does
  std::vector<double> toCommand;  // from then to the command's first byte on the wire
  std::vector<double> toDisplay;  // from the release to the display showing the result
};

// Pause and resume in turns: the firmware's notice ("Pause") comes the moment it has told
// the key's release from a bounce; then the command, then the state's glyph.
void TimePresses(BoardProcess& board, int presses, KeyFigures* f) {
  for (int i = 0; i < 2 * presses; i++) {
    size_t at = board.LineCount();
    board.Do("press select");
    const double up = board.TimeOf("key", " select up", at, &at);
    const double said = board.TimeOf("display", i % 2 == 0 ? "|Pause" : "|Resume", at);
    const double sent = board.TimeOf("tx", " P 5", at);
    const double shown = board.TimeOf("display", i % 2 == 0 ? "|‖" : "|▶", at);
    if (up < 0 || said < 0 || sent < said || shown < 0) continue;
    f->toNotice.push_back(said - up);
    f->toCommand.push_back(sent - said);
    f->toDisplay.push_back(shown - up);
    usleep((200 + 37 * i) * 1000);  // the presses fall at different points of the tick
  }
}

// The median tick, from the status frames' arrival at the board.
double TickMs(BoardProcess& board) {
  std::vector<double> periods;
  double last = -1;
  for (const std::string& line : board.Lines()) {
    if (line.rfind("rx ", 0) != 0 || line.find(" 92 B") == std::string::npos) continue;
    const double t = std::strtod(line.c_str() + 3, nullptr);
    if (last >= 0) periods.push_back(t - last);
    last = t;
  }
  return Median(periods);
}

struct ListFigures {
  double wholeMs = -1;  // the stream that counts the list
  double lastMs = -1;   // from the first entry to the last
};

// The folder list from the menu; its whole stream learns the count; then to its last entry.
ListFigures TimeList(BoardProcess& board, int entries) {
  ListFigures f;
  board.Do("hold select 800");
  board.WaitForText(">Browse", 5000);
  size_t at = board.LineCount();
  board.Do("press select");
  const double streamed = board.TimeOf("tx", " L 6", at, &at);
  const double counted = board.TimeOf("tx", " Q 5", at, &at);
  if (streamed > 0 && counted > streamed) f.wholeMs = counted - streamed;
  board.Do("hold right 900");
  char last[16];
  std::snprintf(last, sizeof last, ">Song %03d", entries - 3);
  const double asked = board.TimeOf("tx", " L 6", at, &at);
  const double shown = board.TimeOf("display", last, at);
  if (asked > 0 && shown > asked) f.lastMs = shown - asked;
  board.Do("hold left 800");
  return f;
}

// From the menu: a search for "bl" typed with the keys; from Select to the first result.
double TimeSearch(BoardProcess& board) {
  for (const char* key : {"press down", "press down", "press select", "press up", "press up", "press right"}) {
    board.Do(key);
  }
  for (int i = 0; i < 12; i++) board.Do("press up");  // b, then l
  size_t at = board.LineCount();
  board.Do("press select");
  const double sent = board.TimeOf("key", " select up", at, &at);
  const double shown = board.TimeOf("display", ">Blue Moon", at);
  return sent > 0 && shown > sent ? shown - sent : -1;
}

void Print(const char* what, const Figures& f, double tickMs) {
  std::printf("%-44s median %6.1f ms (%.1f ticks)  max %6.1f ms (%.1f ticks), %zu presses\n", what, f.median,
              f.median / tickMs, f.max, f.max / tickMs, f.count);
}

const char* Met(bool met) { return met ? "met" : "not met"; }

void PrintSizes(const FirmwareSizes& sizes, const BoardStats& stats) {
  std::printf("flash %zu of %zu bytes, static RAM %zu of %zu, stack high-water %d of the %zu left\n", sizes.flash,
              kFlashBudget, sizes.staticRam, kStaticRamBudget, stats.stackBytes, kRamBytes - sizes.staticRam);
}

void PrintFaults(const BoardStats& stats, bool gotStats) {
  std::printf(
      "board faults: flash %d, overrun %d, display %d, backlight %d, bus %d, eeprom %d, line %d (target 0 each: %s)\n",
      stats.flashFaults, stats.overrunFaults, stats.displayFaults, stats.backlightFaults, stats.busFaults,
      stats.eepromFaults, stats.lineFaults, Met(gotStats && stats.Faults() == 0));
}

// The board and the player stopped; fails when a figure was not produced, the player did
// not end well or the board met a fault.
int Finish(PlayerProcess& player, BoardProcess& board, bool produced, const BoardStats* stats) {
  board.Stop();
  player.Command({"quit"});
  const bool stopped = player.Stop() == 0;
  if (!produced) std::fprintf(stderr, "some board figures were not produced\n");
  const bool faults = stats == nullptr || stats->Faults() != 0;
  if (stats != nullptr && faults) std::fprintf(stderr, "the board met faults (its \"fault\" lines)\n");
  return produced && stopped && !faults ? 0 : 1;
}

// The board and the plug-in started on a music folder of `entries` entries; false (and
// why, on standard error) when they did not.
bool Started(PlayerProcess& player, BoardProcess& board, int entries, const std::string& panel) {
  const std::string failure = Start(player, board, entries, panel);
  if (failure.empty()) return true;
  std::fprintf(stderr, "the board and the plug-in did not start: %s\n", failure.c_str());
  return false;
}

// The firmware starts as a 16x2: a 20x4 is set up first, as its maker would, by the
// encoder through Options > Setup, and the way back to the status screen.
bool SetUp20x4(BoardProcess& board) {
  const char* steps[][2] = {{"push long", ">Browse"}, {"turn +3", ">Options"},     {"push", ">Shuffle"},
                            {"turn +6", ">Setup"},    {"push", ">Display"},        {"push", "20x4"},
                            {"turn -1 pushed", ">Shuffle"}, {"turn -1 pushed", ">Browse"}, {"turn -1 pushed", ":"},
                            {"sleep 0.3", ":"}};  // the push let go for good
  for (const auto& step : steps) {
    board.Send(step[0]);
    if (board.WaitForText(step[1], 5000)) continue;
    std::printf("the 20x4's setup: \"%s\" did not show \"%s\"\n", step[0], step[1]);
    return false;
  }
  return true;
}

// The I2C panel, by its encoder alone: the menu (a long push), the music folder (a push),
// single detents down it, then quick turns to its last entry.
int RunEncoderPanel(const Rounds& rounds, const std::string& panel) {
  PlayerProcess player;
  BoardProcess board;
  if (!Started(player, board, rounds.listEntries, panel)) return 1;
  const StartFigures startUp = TimeStartUp(board);
  if (panel == "i2c-20x4" && !SetUp20x4(board)) return 1;
  board.Send("push long");
  const bool menu = board.WaitForText(">Browse", 5000);
  board.Send("push");
  const bool list = board.WaitForText(">/QB_Dumped", 10000);
  const DetentFigures detents = TimeDetents(board, 2 * rounds.presses);
  const WholeListFigures whole = TimeWholeList(board, rounds.listEntries, kFastTurn);
  const double tick = TickMs(board);
  BoardStats stats;
  const bool gotStats = board.Stats(&stats);
  const FirmwareSizes sizes = FirmwareSizesOf(QB_PANEL_ELF);
  const Figures toDisplay = Summarise(detents.toDisplay);

  std::printf("the panel firmware on the simulated board's %s panel (an I2C display, the encoder), COM5;"
              " the plug-in in the emulated player under Wine\n", panel.c_str());
  std::printf("tick (status frame to status frame): median %.1f ms\n", tick);
  std::printf("the port's opening to the first status screen: %.0f ms (target within 2500 ms: %s)\n",
              startUp.toStatusMs, Met(startUp.toStatusMs > 0 && startUp.toStatusMs <= 2500));
  Print("a detent (its last contact's change) to the display:", toDisplay, tick);
  std::printf("      target at most 2 ticks: %s\n", Met(toDisplay.count > 0 && toDisplay.max <= 2 * tick));
  std::printf("%d entries, first to last by turning at %.0f detents a second: %d detents (%.1f turns of 20), %.0f ms\n",
              rounds.listEntries, whole.perSecond, whole.detents, whole.turns, whole.ms);
  std::printf("      target a few turns: %s\n", Met(whole.ms > 0 && whole.turns <= 5));
  std::printf("receive overruns (the firmware's count): %d, at the chip's receiver (the board's): %d (target 0: %s)\n",
              stats.overruns, stats.overrunFaults, Met(stats.overruns == 0 && stats.overrunFaults == 0));
  std::printf("the bus busy: %.1f %% of the chip's time since it started\n", stats.busBusyPercent);
  std::printf("time asleep: %.1f %%\n", stats.asleepPercent);
  PrintFaults(stats, gotStats);
  PrintSizes(sizes, stats);

  const bool produced = menu && list && startUp.toStatusMs > 0 && toDisplay.count > 0 && whole.ms > 0 && gotStats &&
                        sizes.flash > 0;
  return Finish(player, board, produced, gotStats ? &stats : nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  bool shortRun = false;
  std::string panel = "shield";
  for (int i = 1; i < argc; i++) {
    if (std::strcmp(argv[i], "--short") == 0) shortRun = true;
    if (std::strcmp(argv[i], "--panel") == 0 && i + 1 < argc) panel = argv[++i];
  }
  if (panel != "shield") return RunEncoderPanel(shortRun ? kEncoderShort : kEncoderFull, panel);
  const Rounds rounds = shortRun ? kShort : kFull;
  PlayerProcess player;
  BoardProcess board;
  if (!Started(player, board, rounds.listEntries, panel)) return 1;
  const StartFigures startUp = TimeStartUp(board);
  KeyFigures keys;
  TimePresses(board, rounds.presses, &keys);
  const double tick = TickMs(board);
  const ListFigures list = TimeList(board, rounds.listEntries);
  const double search = TimeSearch(board);
  BoardStats stats;
  const bool gotStats = board.Stats(&stats);
  const FirmwareSizes sizes = FirmwareSizesOf(QB_PANEL_ELF);

  const Figures toNotice = Summarise(keys.toNotice);
  const Figures toCommand = Summarise(keys.toCommand);
  const Figures toDisplay = Summarise(keys.toDisplay);
  std::printf("the panel firmware on the simulated board, COM5; the plug-in in the emulated player under Wine\n");
  std::printf("tick (status frame to status frame): median %.1f ms (the plug-in's 35 ms timer, 15 ms wait)\n", tick);
  std::printf("the port's opening to the first status screen: %.0f ms (target within 2500 ms: %s)\n",
              startUp.toStatusMs, Met(startUp.toStatusMs > 0 && startUp.toStatusMs <= 2500));
  std::printf("      of which the reset to the firmware's start: %.0f ms (the bootloader, and %.0f ms of start-up"
              " after each reset)\n",
              startUp.bootMs, kStartUpMs);
  // The plug-in stays silent for 2 s after it opens the port: the firmware must have
  // started by then, with room for a slower clone's bootloader.
  const double margin = kQuietAfterOpenMs - startUp.bootMs;
  std::printf("the firmware's start before the plug-in's 2 s of silence end: %.0f ms (target at least 100 ms: %s)\n",
              margin, Met(startUp.bootMs > 0 && margin >= 100));
  std::printf("the firmware's start to its first screen that changed: %.1f ms\n", startUp.firmwareMs);
  Print("key released to the firmware's notice:", toNotice, tick);
  Print("the key known to its command on the wire:", toCommand, tick);
  // The command goes with the first status frame after the key is known: at most a tick.
  std::printf("      target the next tick, at most 50 ms (a tick here: %.1f ms): %s\n", tick,
              Met(toCommand.count > 0 && toCommand.max <= 50 + (tick > 50 ? tick - 50 : 0)));
  Print("key released to the display showing the result:", toDisplay, tick);
  std::printf("      target at most 3 ticks: %s\n", Met(toDisplay.count > 0 && toDisplay.max <= 3 * tick));
  std::printf("command after its status frame's end: median %.1f ms  p99 %.1f ms  max %.1f ms  past 15 ms: %d\n",
              stats.delayMedianMs, stats.delayP99Ms, stats.delayMaxMs, stats.delaysOver15);
  std::printf("      target p99 at most 5 ms, never past 15 ms: %s\n",
              Met(gotStats && stats.delayP99Ms <= 5 && stats.delaysOver15 == 0));
  std::printf("receive overruns: %d (target 0: %s)\n", stats.overruns, Met(stats.overruns == 0));
  std::printf("time asleep: %.1f %% (target at least 80 %%: %s)\n", stats.asleepPercent,
              Met(stats.asleepPercent >= 80));
  PrintFaults(stats, gotStats);
  PrintSizes(sizes, stats);
  std::printf(
      "%d entries: the stream that counts them %.0f ms; from the first to the last %.0f ms"
      " (target within one whole transfer: %s)\n",
      rounds.listEntries, list.wholeMs, list.lastMs, Met(list.lastMs > 0 && list.lastMs <= list.wholeMs));
  std::printf("search: from Select (the text typed) to the first result on the display %.0f ms\n", search);
  std::printf("(a long press acts %.0f ms after the key went down; key figures are from short presses)\n",
              kLongPressMs);

  const bool produced = startUp.toStatusMs > 0 && startUp.bootMs > 0 && toCommand.count > 0 &&
                        toDisplay.count > 0 && gotStats && sizes.flash > 0 && list.wholeMs > 0 && list.lastMs > 0 &&
                        search > 0;
  return Finish(player, board, produced, gotStats ? &stats : nullptr);
}

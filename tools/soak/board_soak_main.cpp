// The board soak: the real DLL in the emulated player under Wine and the real firmware on
// the strict simulated board, driven for a set time by a person at the panel's keys.
// Usage: board_soak [minutes] [seed] (default 60 minutes, a seed from the clock; the
// seed is printed so that a run can be repeated in kind, though not tick for tick, as
// both sides run on the wall clock).
//
// Under the person's keys the player changes its playlist and play state, the cable is
// pulled and put back every few minutes (half the time just after a key that starts a
// list transfer), and new songs come once dumps have taken most of them. It fails on:
// any fault the board reports (a flash page changed, a receiver overrun, a display write
// while the controller is busy, the backlight driven high), the firmware restarting
// other than at an opening of the port, a stack deeper than its budget, the plug-in
// sending no status frame for 8 s on a plugged line or a tick longer than 2 s, the
// player not answering "sync" within 5 s or ending other than cleanly, and any file lost,
// changed, or left half-written (the ledger of every song and saved playlist), or more
// files in the dump folder than dumps the panel sent.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>

#include "board_process.h"
#include "board_watch.h"
#include "file_ledger.h"
#include "panel_line.h"
#include "panel_person.h"
#include "player_process.h"
#include "soak_setup.h"
#include "tick_figures.h"

namespace {

constexpr int kBoardPort = 5;               // where the Wine session maps a board's line
constexpr int kStackBudget = 2048 - 1400;   // what the static RAM leaves of the 2 KB
constexpr double kTickBoundMs = 2000;
constexpr int kSyncBoundMs = 5000;
constexpr double kSyncEveryMs = 5000;
constexpr double kChangeEveryMs = 60000;
constexpr double kReportEveryMs = 10 * 60000;
constexpr int kRestockBelow = 8;
constexpr int kQuitWaitMs = 10000;

struct Soak {
  Soak(PlayerProcess& p, BoardProcess& b, FileLedger& l, uint32_t seed) : player(p), board(b), ledger(l), person(seed) {}
  PlayerProcess& player;
  BoardProcess& board;
  FileLedger& ledger;
  PanelPerson person;
  BoardWatch watch;
  std::map<std::string, int> keys;
  int replugs = 0, syncs = 0, restocked = 0, outsideChanges = 0;
  double slowestSyncMs = 0;
  double pluggedSinceMs = 0;
  int dumpsSeen = 0;  // files that reached the dump folder
  std::vector<std::string> failures;

  void Fail(const std::string& what) { failures.push_back(what); }
  bool Ok() const { return failures.empty() && watch.failures.empty(); }

  void Look() {
    watch.Read(board.Lines(), NowMs());
    if (watch.Hung(NowMs(), pluggedSinceMs)) Fail("no status frame for 8 s on a plugged line: the plug-in hangs");
  }

  // Waits ms, looking at the board's lines every half second.
  void Pause(int ms) {
    const double until = NowMs() + ms;
    while (Ok() && NowMs() < until) {
      std::this_thread::sleep_for(std::chrono::milliseconds(std::min(500, static_cast<int>(until - NowMs()) + 1)));
      Look();
    }
  }

  void Sync() {
    const double start = NowMs();
    const std::string answer = player.Command({"sync"}, kSyncBoundMs);
    slowestSyncMs = std::max(slowestSyncMs, NowMs() - start);
    syncs++;
    if (answer != "ok\tsync") Fail("the player did not answer \"sync\" within 5 s");
    if (!player.WaitForLine("fault", 0).empty()) Fail("the player reported a fault");
    dumpsSeen += ledger.DumpArrivals();
    if (dumpsSeen > watch.dumpsSent) Fail("a file reached the dump folder that no dump from the panel asked for");
    if (ledger.PlayableInPlace() < kRestockBelow) Restock(ledger, ++restocked);
  }

  // The cable out for 1 to 15 s; half the time right after a Select, which opens a folder
  // or a list and so starts a transfer, or asks a save or a dump its question.
  void Replug() {
    if (person.Between(0, 1) == 1) {
      board.Send("press select");
      std::this_thread::sleep_for(std::chrono::milliseconds(person.Between(150, 600)));
    }
    board.Send("unplug");
    Look();
    watch.Break(NowMs());
    std::this_thread::sleep_for(std::chrono::milliseconds(person.Between(1000, 15000)));
    board.Send("plug");
    pluggedSinceMs = NowMs();
    watch.Break(NowMs());
    replugs++;
  }

  void Press() {
    const KeyAction a = person.Next();
    board.Do(a.command);
    keys[a.kind]++;
    Pause(a.thinkMs);
  }
};

void PrintFigures(Soak& s, double elapsedMinutes, uint32_t seed, const BoardStats& stats) {
  const Figures ticks = Summarise(s.watch.periods);
  int pressed = 0;
  for (const auto& [kind, n] : s.keys) pressed += n;
  std::printf("== board soak after %.1f min, seed %u\n", elapsedMinutes, seed);
  std::printf("keys pressed %d:", pressed);
  for (const auto& [kind, n] : s.keys) std::printf("  %s %d", kind.c_str(), n);
  std::printf("\ncommands the panel sent %d:", [&] {
    int n = 0;
    for (const auto& [letter, count] : s.watch.sent) n += count;
    return n;
  }());
  for (const auto& [letter, n] : s.watch.sent) std::printf("  %s %d", letter.c_str(), n);
  std::printf("\nreplugs %d, firmware restarts at an open %d, player changes %d, syncs %d (slowest %.0f ms)\n",
              s.replugs, s.watch.portResets, s.outsideChanges, s.syncs, s.slowestSyncMs);
  std::printf("ticks %d: period ms p50 %.1f p99 %.1f max %.1f (bound %.0f)\n", s.watch.statusFrames, ticks.median,
              ticks.p99, ticks.max, kTickBoundMs);
  std::printf("dumps sent %d, files in the dump folder %d, restocked %d times\n", s.watch.dumpsSent, s.dumpsSeen,
              s.restocked);
  std::printf("board: stack's deepest point %d bytes (budget %d), overruns %d, faults %d, resets %d\n",
              stats.stackBytes, kStackBudget, stats.overruns, stats.Faults(), stats.resets);
  std::fflush(stdout);
}

void CheckStats(Soak& s, const BoardStats& stats) {
  if (stats.stackBytes < 0 || stats.stackBytes > kStackBudget) {
    s.Fail("the stack's deepest point " + std::to_string(stats.stackBytes) + " bytes is beyond its budget");
  }
  if (stats.overruns != 0) s.Fail(std::to_string(stats.overruns) + " receiver overruns in the firmware");
  if (stats.Faults() != 0) s.Fail(std::to_string(stats.Faults()) + " board faults");
  const Figures ticks = Summarise(s.watch.periods);
  if (ticks.max > kTickBoundMs) s.Fail("a tick took " + std::to_string(ticks.max) + " ms");
}

void Finish(Soak& s) {
  if (s.player.Command({"quit"}, kQuitWaitMs) != "quit\tdone") s.Fail("quit did not return");
  if (!s.player.WaitForLine("fault", 0).empty()) s.Fail("the player reported a fault");
  const int code = s.player.Stop(kQuitWaitMs);
  if (code != 0) s.Fail("the player's exit code was " + std::to_string(code));
}

}  // namespace

int main(int argc, char** argv) {
  const double minutes = argc > 1 ? std::atof(argv[1]) : 60;
  const uint32_t seed = argc > 2 ? static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10))
                                 : static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch().count());
  const char* ports = std::getenv("QB_PORT_DIR");
  if (minutes <= 0 || ports == nullptr) {
    std::fprintf(stderr, "usage: board_soak [minutes] [seed], in a Wine session (QB_PORT_DIR)\n");
    return 2;
  }
  std::printf("board soak: %.1f min, seed %u\n", minutes, seed);
  std::fflush(stdout);
  PlayerProcess player;
  BoardProcess board;
  FileLedger ledger(player.Folder() + "/Music/");
  const char* chosen = std::getenv("QB_PANEL_ELF");
  const std::string elf = chosen != nullptr && *chosen != '\0' ? chosen : QB_PANEL_ELF;
  if (!board.Start(elf, std::string(ports) + "/com" + std::to_string(kBoardPort), {"--trace"})) {
    std::fprintf(stderr, "board soak: the board did not take the port\n");
    return 1;
  }
  const std::string failure = LaunchSoakPlugin(player, ledger, kBoardPort);
  if (!failure.empty()) {
    std::fprintf(stderr, "board soak: the plug-in did not start: %s\n", failure.c_str());
    board.Stop();
    return 1;
  }
  Soak s(player, board, ledger, seed);
  const double start = NowMs();
  s.pluggedSinceMs = start;
  // The first change and replug come early enough that a one-minute run meets both.
  const double runMs = minutes * 60000;
  double nextSync = start + kSyncEveryMs, nextChange = start + std::min(kChangeEveryMs, runMs / 3);
  double nextReport = start + kReportEveryMs;
  double nextReplug = start + std::min(s.person.Between(60, 240) * 1000.0, runMs / 2);
  while (s.Ok() && NowMs() - start < runMs) {
    const double now = NowMs();
    if (now >= nextSync) {
      s.Sync();
      nextSync = now + kSyncEveryMs;
    } else if (now >= nextChange) {
      const std::string refused = ChangePlayerSide(player, s.outsideChanges++, kSyncBoundMs);
      if (!refused.empty()) s.Fail(refused);
      nextChange = now + kChangeEveryMs;
    } else if (now >= nextReplug) {
      s.Replug();
      nextReplug = NowMs() + s.person.Between(120, 300) * 1000.0;
    } else if (now >= nextReport) {
      BoardStats stats;
      if (!board.Stats(&stats)) s.Fail("the board gave no figures");
      PrintFigures(s, (now - start) / 60000, seed, stats);
      CheckStats(s, stats);
      nextReport = now + kReportEveryMs;
    } else {
      s.Press();
    }
  }
  s.Pause(3000);  // what the last key started, done
  s.Look();
  Finish(s);
  BoardStats final;
  if (board.Stop(5000, &final) != 0 && s.watch.failures.empty()) s.Fail("the board ended with a failure");
  s.Look();
  CheckStats(s, final);
  const FileLedger::Verdict verdict = ledger.Check(-1);
  if (verdict.moved > s.watch.dumpsSent) {
    s.Fail(std::to_string(verdict.moved) + " files moved into the dump folder, " +
           std::to_string(s.watch.dumpsSent) + " dumps sent");
  }
  PrintFigures(s, (NowMs() - start) / 60000, seed, final);
  std::printf("saved playlists: %d, each checked line by line; files found whole in the dump folder: %d\n",
              verdict.playlists, verdict.moved);
  s.failures.insert(s.failures.end(), s.watch.failures.begin(), s.watch.failures.end());
  s.failures.insert(s.failures.end(), verdict.failures.begin(), verdict.failures.end());
  for (const std::string& f : s.failures) std::printf("FAILED: %s\n", f.c_str());
  std::printf("%s (seed %u)\n", s.failures.empty() ? "board soak passed" : "board soak FAILED", seed);
  return s.failures.empty() ? 0 : 1;
}

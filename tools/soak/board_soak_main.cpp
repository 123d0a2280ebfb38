// The board soak: the real DLL in the emulated player under Wine and the real firmware on
// the strict simulated board, driven for a set time by a person at the panel's keys.
// Usage: board_soak [minutes] [seed] (default 60 minutes, a seed from the clock; the
// seed is printed so that a run can be repeated in kind, though not tick for tick, as
// both sides run on the wall clock).
//
// Under the person's keys the player changes its playlist and play state, the cable is
// pulled and put back every few minutes (a third of the time just after a key that starts
// a list transfer, a third just after a save), the music folder's disk fills up for a
// minute or so every ten, the player quits and starts again every quarter of an hour or
// so, and new songs come once dumps have taken most of them. It fails on:
// any fault the board reports (a flash page changed, a receiver overrun, a display write
// while the controller is busy, the backlight driven high), the firmware restarting
// other than at an opening of the port, a stack deeper than its budget, the plug-in
// sending no status frame for 8 s on a plugged line or a tick longer than 2 s, the
// player not answering "sync" within 5 s or ending other than cleanly, its process's
// open files, threads or memory grown from the start to the end, a command the plug-in
// always answers left unanswered (board_watch.h), and any file lost, changed, or left
// half-written (the ledger of every song, saved playlist and the settings file, with no
// backup or copy left beside it), or more files in the dump folder than dumps the panel
// sent.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "board_process.h"
#include "board_watch.h"
#include "file_ledger.h"
#include "panel_line.h"
#include "panel_person.h"
#include "player_process.h"
#include "process_usage.h"
#include "small_disk.h"
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
constexpr long long kDiskBytes = 16 << 20;  // the songs take a few kilobytes: room for saves
// How much the player's process may grow from the start to the end of a soak: a handle,
// a thread or a block a tick would give thousands an hour; the player's own model
// settles within the first changes.
constexpr int64_t kMoreFiles = 16;
constexpr int64_t kMoreThreads = 2;
constexpr int64_t kMoreMemory = 16 << 20;

struct Soak {
  Soak(PlayerProcess& p, BoardProcess& b, FileLedger& l, SmallDisk& d, uint32_t seed)
      : player(p), board(b), ledger(l), disk(d), person(seed) {}
  PlayerProcess& player;
  BoardProcess& board;
  FileLedger& ledger;
  SmallDisk& disk;
  PanelPerson person;
  BoardWatch watch;
  std::map<std::string, int> keys;
  int replugs = 0, syncs = 0, restocked = 0, outsideChanges = 0, restarts = 0, fills = 0;
  double fullMs = 0, fullSinceMs = 0;
  double slowestSyncMs = 0;
  double pluggedSinceMs = 0;
  int dumpsSeen = 0;  // files that reached the dump folder
  Usage startUsage, lastUsage;
  std::vector<std::string> failures;

  void Fail(const std::string& what) { failures.push_back(what); }
  bool Ok() const { return failures.empty() && watch.failures.empty(); }

  void Look() {
    watch.Read(board.Lines(), NowMs());
    if (watch.Hung(NowMs(), pluggedSinceMs)) Fail("no status frame for 8 s on a plugged line: the plug-in hangs");
  }

  // No tick is measured across what comes now: the line or the player goes or comes.
  void Gap() { watch.Break(board.Lines(), NowMs()); }

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
    if (!disk.Full() && ledger.PlayableInPlace() < kRestockBelow) Restock(ledger, ++restocked);
  }

  // The cable out for 1 to 15 s; a third of the time right after a Select, which opens a
  // folder or a list and so starts a transfer, or asks a dump its question; a third right
  // after the Select that saves the playlist, while its answer is on the way.
  void Replug() {
    switch (person.Between(0, 2)) {
      case 1:
        board.Send("press select");
        std::this_thread::sleep_for(std::chrono::milliseconds(person.Between(150, 600)));
        break;
      case 2: {
        std::string name;
        for (const KeyAction& a : person.Errand(PanelPerson::kSave, &name)) {
          board.Do(a.command);
          if (a.command == "press select") break;  // the save
          Pause(a.thinkMs);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(person.Between(20, 200)));
        break;
      }
      default: break;
    }
    board.Send("unplug");
    Gap();
    std::this_thread::sleep_for(std::chrono::milliseconds(person.Between(1000, 15000)));
    board.Send("plug");
    pluggedSinceMs = NowMs();
    Gap();
    replugs++;
  }

  // The player quit and started again, as its user does now and then: the port closes
  // and opens (the board resets at the opening), the plug-in starts over from its
  // settings. Growth is judged within each player's life.
  void Restart() {
    lastUsage = ReadUsage(player);
    CheckUsage();
    Quit(" before a restart");
    Gap();
    const std::string failure = RelaunchSoakPlugin(player);
    if (!failure.empty()) Fail("the plug-in did not start again: " + failure);
    pluggedSinceMs = NowMs();
    Gap();
    startUsage = lastUsage = ReadUsage(player);
    restarts++;
    for (const std::string& fault : ledger.OutsideFaults()) Fail("after a restart, " + fault);
  }

  // The disk full for a while: what the person does meanwhile meets a disk without room.
  void Fill() {
    disk.Fill();
    fills++;
    fullSinceMs = NowMs();
  }
  void Free() {
    disk.Free();
    fullMs += NowMs() - fullSinceMs;
  }

  void Quit(const std::string& when) {
    if (player.Command({"quit"}, kQuitWaitMs) != "quit\tdone") Fail("quit did not return" + when);
    if (!player.WaitForLine("fault", 0).empty()) Fail("the player reported a fault" + when);
    const int code = player.Stop(kQuitWaitMs);
    if (code != 0) Fail("the player's exit code was " + std::to_string(code) + when);
  }

  void CheckUsage() {
    const Usage& a = startUsage;
    const Usage& b = lastUsage;
    if (a.files < 0 || a.threads < 0 || a.memory < 0 || b.files < 0 || b.threads < 0 || b.memory < 0) {
      Fail("the player's process could not be measured");
    } else if (b.files - a.files > kMoreFiles || b.threads - a.threads > kMoreThreads ||
               b.memory - a.memory > kMoreMemory) {
      Fail("the player's process grew: open files, threads or memory beyond the start's by more than allowed");
    }
  }

  // A key, or one time in ten an errand of a few.
  void Press() {
    if (person.Between(0, 9) == 0) {
      std::string name;
      for (const KeyAction& a : person.Errand(&name)) {
        board.Do(a.command);
        Pause(a.thinkMs);
      }
      keys["errand " + name]++;
      return;
    }
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
  std::printf("\nanswered:");
  for (const auto& [letter, n] : s.watch.answered) std::printf("  %s %d", letter.c_str(), n);
  std::printf("; unanswered:");
  for (const auto& [letter, n] : s.watch.unanswered) std::printf("  %s %d", letter.c_str(), n);
  std::printf(" (%d of them with the ticks held up); replies displaced by the player's own \"Q\" %d\n",
              s.watch.lateTicks, s.watch.displaced);
  std::printf("disk full %d times, %.0f s in all\n", s.fills, s.fullMs / 1000);
  std::printf("replugs %d, player restarts %d, firmware restarts at an open %d, player changes %d, syncs %d "
              "(slowest %.0f ms)\n",
              s.replugs, s.restarts, s.watch.portResets, s.outsideChanges, s.syncs, s.slowestSyncMs);
  std::printf("ticks %d: period ms p50 %.1f p99 %.1f max %.1f (bound %.0f)\n", s.watch.statusFrames, ticks.median,
              ticks.p99, ticks.max, kTickBoundMs);
  std::printf("dumps sent %d, files in the dump folder %d, restocked %d times\n", s.watch.dumpsSent, s.dumpsSeen,
              s.restocked);
  std::printf("board: stack's deepest point %d bytes (budget %d), overruns %d, faults %d, resets %d\n",
              stats.stackBytes, kStackBudget, stats.overruns, stats.Faults(), stats.resets);
  std::printf("player's process: open files %lld -> %lld, threads %lld -> %lld, memory %.1f -> %.1f MB\n",
              static_cast<long long>(s.startUsage.files), static_cast<long long>(s.lastUsage.files),
              static_cast<long long>(s.startUsage.threads), static_cast<long long>(s.lastUsage.threads),
              s.startUsage.memory / 1048576.0, s.lastUsage.memory / 1048576.0);
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

// The person at the keys and the world around them, until the time is up or a check
// failed.
void Drive(Soak& s, double runMs, uint32_t seed) {
  const double start = NowMs();
  s.pluggedSinceMs = start;
  s.startUsage = s.lastUsage = ReadUsage(s.player);
  // The first change and replug come early enough that a one-minute run meets both.
  double nextSync = start + kSyncEveryMs, nextChange = start + std::min(kChangeEveryMs, runMs / 3);
  double nextReport = start + kReportEveryMs;
  double nextReplug = start + std::min(s.person.Between(60, 240) * 1000.0, runMs / 2);
  double nextRestart = start + std::min(s.person.Between(600, 1200) * 1000.0, runMs * 2 / 3);
  double nextFill = start + std::min(s.person.Between(240, 600) * 1000.0, runMs / 4), freeAt = 0;
  while (s.Ok() && NowMs() - start < runMs) {
    const double now = NowMs();
    if (now >= nextSync) {
      s.Sync();
      nextSync = now + kSyncEveryMs;
    } else if (now >= nextChange) {
      const std::string refused = ChangePlayerSide(s.player, s.outsideChanges++, kSyncBoundMs);
      if (!refused.empty()) s.Fail(refused);
      nextChange = now + kChangeEveryMs;
    } else if (now >= nextReplug) {
      s.Replug();
      nextReplug = NowMs() + s.person.Between(120, 300) * 1000.0;
    } else if (!s.disk.Full() && now >= nextFill) {
      s.Fill();
      freeAt = now + std::min(s.person.Between(20, 120) * 1000.0, runMs / 5);
    } else if (s.disk.Full() && now >= freeAt) {
      s.Free();
      nextFill = now + s.person.Between(480, 900) * 1000.0;
    } else if (now >= nextRestart && !s.disk.Full()) {  // a start writes its settings
      s.Restart();
      nextRestart = NowMs() + s.person.Between(900, 1800) * 1000.0;
    } else if (now >= nextReport) {
      BoardStats stats;
      if (!s.board.Stats(&stats)) s.Fail("the board gave no figures");
      s.lastUsage = ReadUsage(s.player);
      PrintFigures(s, (now - start) / 60000, seed, stats);
      CheckStats(s, stats);
      nextReport = now + kReportEveryMs;
    } else {
      s.Press();
    }
  }
}

// The board's lines up to the first unanswered command, for reading what led to it.
void PrintTraceBefore(const std::vector<std::string>& lines, size_t failedAtLine) {
  if (failedAtLine == 0) return;
  const size_t end = std::min(failedAtLine, lines.size());
  for (size_t i = end > 60 ? end - 60 : 0; i < end; i++) std::printf("  board: %s\n", lines[i].c_str());
}

// The end: the player quit, the board stopped, the ledger checked, the figures and the
// verdict printed. The exit status.
int Conclude(Soak& s, double start, uint32_t seed) {
  s.Pause(3000);  // what the last key started, done
  if (s.disk.Full()) s.Free();
  s.Look();
  s.lastUsage = ReadUsage(s.player);
  s.CheckUsage();
  s.Quit("");
  BoardStats final;
  if (s.board.Stop(5000, &final) != 0 && s.watch.failures.empty()) s.Fail("the board ended with a failure");
  s.Look();
  CheckStats(s, final);
  const FileLedger::Verdict verdict = s.ledger.Check(-1);
  if (verdict.moved > s.watch.dumpsSent) {
    s.Fail(std::to_string(verdict.moved) + " files moved into the dump folder, " +
           std::to_string(s.watch.dumpsSent) + " dumps sent");
  }
  PrintFigures(s, (NowMs() - start) / 60000, seed, final);
  std::printf("saved playlists: %d, each checked line by line; files found whole in the dump folder: %d\n",
              verdict.playlists, verdict.moved);
  s.failures.insert(s.failures.end(), s.watch.failures.begin(), s.watch.failures.end());
  s.failures.insert(s.failures.end(), verdict.failures.begin(), verdict.failures.end());
  PrintTraceBefore(s.board.Lines(), s.watch.failedAtLine);
  for (const std::string& f : s.failures) std::printf("FAILED: %s\n", f.c_str());
  std::printf("%s (seed %u)\n", s.failures.empty() ? "board soak passed" : "board soak FAILED", seed);
  return s.failures.empty() ? 0 : 1;
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
  SmallDisk disk;
  std::string why;
  if (!disk.Mount(player.Folder() + "/Music", kDiskBytes, &why)) {
    std::fprintf(stderr, "board soak: the music folder's small disk: %s\n", why.c_str());
    board.Stop();
    return 1;
  }
  const std::string failure = LaunchSoakPlugin(player, ledger, kBoardPort);
  if (!failure.empty()) {
    std::fprintf(stderr, "board soak: the plug-in did not start: %s\n", failure.c_str());
    board.Stop();
    return 1;
  }
  ledger.KeepOutside(player.Folder() + "/Plugins/plugin.ini");  // as the start wrote it
  Soak s(player, board, ledger, disk, seed);
  const double start = NowMs();
  Drive(s, minutes * 60000, seed);
  return Conclude(s, start, seed);
}

// Tick figures as the panel sees them: the real DLL in the emulated player under Wine,
// a 500-entry playlist and a 500-entry music folder. Prints figures and whether they
// meet their targets; it fails only when it could not produce them (a list command the
// plug-in does not answer, within a bounded wait, prints "not available" and fails).
//
//   idle      the panel sends nothing: each tick also waits out its 15 ms for a command.
//   busy      the panel answers every status frame at once with a command no handler
//             takes, so the wait ends early: the timer's 35 ms plus the tick's work.
//   message   one host message sent from the tick (SendMessageA to the player's thread).
//   "Q" 3/2   the tick that reads 500 playlist titles / rescans the music folder.
//   "L"       a 500-title transfer against two ticks per command.
//
// --short runs a few ticks of each, for the test suite.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "bench_setup.h"
#include "list_bench.h"
#include "panel_line.h"
#include "player_process.h"
#include "tick_figures.h"

namespace {

constexpr double kIdleTarget = 1.03;
constexpr double kTransferTarget = 1.05;
constexpr int kQ3Messages = 1 + 2 * kPlaylistEntries;  // the length, then path and title of each
constexpr int kQ2Messages = kMusicFiles;                // one title per file

struct Rounds {
  int ticks, cost, select, transfer;
};
constexpr Rounds kFull = {300, 9, 9, 3};
constexpr Rounds kShort = {20, 1, 1, 1};

Figures IdleTicks(PanelLine& line, int ticks) {
  const size_t from = line.FrameCount();
  line.WaitForCount(from + static_cast<size_t>(ticks) + 1, ticks * 200);
  return StatusPeriods(line.Frames(), from);
}

Figures BusyTicks(PanelLine& line, int ticks) {
  const size_t from = line.FrameCount();
  for (int i = 0; i < ticks; i++) {
    if (!line.WaitFor(line.FrameCount(), IsStatus, 1000)) break;
    line.Send({'Z', 0, 0});
  }
  return StatusPeriods(line.Frames(), from);
}

void PrintPeriods(const char* phase, const Figures& f, double floor) {
  std::printf("%-5s tick ms: median %6.1f  p95 %6.1f  max %6.1f  floor %4.0f  median %.3f x floor  own time ~%4.1f\n",
              phase, f.median, f.p95, f.max, floor, f.median / floor, f.median - floor);
}

void PrintSelect(const char* what, const std::optional<double>& tick, const Figures& idle, const Figures& busy,
                 int messages, const std::optional<double>& cost) {
  if (!tick) {
    std::printf("%-34s not available (no reply)\n", what);
    return;
  }
  const double own = *tick - busy.median;
  std::printf("%-34s tick %6.1f ms (idle tick %.1f), own time %6.1f ms", what, *tick, idle.median, own);
  if (cost && *cost > 0) {
    const double floor = messages * *cost;
    std::printf("; floor %d messages = %.1f ms, %.2f x", messages, floor, own / floor);
  }
  std::printf("\n");
}

void PrintTransfer(const std::optional<Transfer>& t) {
  if (!t) {
    std::printf("\"L\" transfer                       not available (no reply)\n");
    return;
  }
  const double floor = t->exchanges * kExchangeFloorMs;
  const double ratio = t->elapsedMs / floor;
  std::printf("\"L\" transfer, %d titles in %d chunks: %.0f ms, floor %d x 2 ticks = %.0f ms, %.3f x floor"
              " (target %.2f x: %s)\n",
              t->titles, t->chunks, t->elapsedMs, t->exchanges, floor, ratio, kTransferTarget,
              Verdict(ratio, kTransferTarget));
  std::printf("      its ticks: taking a command median %.1f ms (floor %.0f),"
              " sending a reply median %.1f ms (floor %.0f)\n",
              t->commandTickMs, kTimerMs, t->replyTickMs, kIdleFloorMs);
}

std::optional<Transfer> MedianTransfer(PanelLine& line, int rounds) {
  std::vector<Transfer> runs;
  for (int i = 0; i < rounds; i++) {
    auto t = MeasureTransfer(line);
    if (!t) return std::nullopt;
    runs.push_back(*t);
  }
  std::sort(runs.begin(), runs.end(), [](const Transfer& a, const Transfer& b) { return a.elapsedMs < b.elapsedMs; });
  return runs[runs.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const bool brief = argc > 1 && std::strcmp(argv[1], "--short") == 0;
  const Rounds rounds = brief ? kShort : kFull;
  PanelLine line(1);
  PlayerProcess player;
  const std::string failure = StartBenchPlugin(player, line);
  if (!failure.empty()) {
    std::fprintf(stderr, "the plug-in did not start: %s\n", failure.c_str());
    return 1;
  }

  const Figures idle = IdleTicks(line, rounds.ticks);
  const Figures busy = BusyTicks(line, rounds.ticks);
  const auto cost = MeasureMessageCost(line, player, rounds.cost);
  const auto q3 = MeasureSelect(line, 3, 0, rounds.select);
  const auto q2 = MeasureSelect(line, 2, 1, rounds.select);
  const auto transfer = MedianTransfer(line, rounds.transfer);

  std::printf("%d ticks each; %d-entry playlist, %d-entry music folder; plug-in in the emulated player under Wine\n",
              rounds.ticks, kPlaylistEntries, kMusicEntries);
  PrintPeriods("idle", idle, kIdleFloorMs);
  std::printf("      idle target %.2f x: %s\n", kIdleTarget, Verdict(idle.median / kIdleFloorMs, kIdleTarget));
  PrintPeriods("busy", busy, kTimerMs);
  if (cost) {
    std::printf("host message from the tick: %.3f ms each (ticks trimming 500 entries, median of %d)\n", *cost,
                rounds.cost);
  } else {
    std::printf("host message from the tick: not measured\n");
  }
  PrintSelect("\"Q\" 3, playlist of 500 titles:", q3, idle, busy, kQ3Messages, cost);
  PrintSelect("\"Q\" 2, music folder of 500 entries:", q2, idle, busy, kQ2Messages, cost);
  PrintTransfer(transfer);

  player.Command({"quit"});
  const bool stopped = player.Stop() == 0;
  const bool produced = idle.count > 0 && busy.count > 0 && cost && q3 && q2 && transfer;
  if (!produced) std::fprintf(stderr, "some tick figures were not produced\n");
  return produced && stopped ? 0 : 1;
}

// Tick period as the panel sees it: the real DLL in the emulated player under Wine, a
// 500-entry playlist, a few hundred ticks. Prints figures; it passes or fails nothing.
//
//   idle   the panel sends nothing: each tick also waits out its 15 ms for a command.
//   busy   the panel answers every status frame at once with a command no handler takes,
//          so the wait ends early and the period is the timer's 35 ms plus the tick's work.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "panel_line.h"
#include "player_process.h"

namespace {

constexpr int kTicks = 300;
constexpr double kTimerMs = 35;
constexpr double kCommandWaitMs = 15;

struct Figures {
  double median, p95, max;
};

Figures Periods(const std::vector<Frame>& frames, size_t from) {
  std::vector<double> periods;
  for (size_t i = from + 1; i < frames.size(); i++) periods.push_back(frames[i].atMs - frames[i - 1].atMs);
  std::sort(periods.begin(), periods.end());
  if (periods.empty()) return {0, 0, 0};
  return {periods[periods.size() / 2], periods[periods.size() * 95 / 100], periods.back()};
}

void Print(const char* phase, const Figures& f, double floor) {
  std::printf("%-5s period ms: median %6.1f  p95 %6.1f  max %6.1f   floor %4.0f   own time per tick ~%5.1f\n",
              phase, f.median, f.p95, f.max, floor, f.median - floor);
}

}  // namespace

int main() {
  PanelLine line(1);
  PlayerProcess player;
  player.Start();
  player.Command({"playlist", "fill", "500", "C:\\Music\\Album\\track%03d.mp3"});
  player.Command({"tag", "C:\\Music\\Album\\track000.mp3", "TITLE", "A title of some forty characters, nearly"});
  player.Command({"state", "1"});
  player.Command({"elapsed", "61000"});
  player.Command({"log", "0"});  // the player's own log is a test aid, not part of the tick
  player.Command({"load"});
  if (player.Command({"init"}, 20000) != "init\t0") {
    std::fprintf(stderr, "the plug-in did not start\n");
    return 1;
  }
  line.WaitForCount(20, 5000);  // let start-up settle

  size_t from = line.FrameCount();
  line.WaitForCount(from + kTicks, kTicks * 200);
  const Figures idle = Periods(line.Frames(), from);

  from = line.FrameCount();
  for (int i = 0; i < kTicks; i++) {
    Frame status;
    if (!line.WaitFor(line.FrameCount(), [](const Frame& f) { return f.payload.size() == 92; }, 1000, &status)) break;
    line.Send({'Z', 0, 0});
  }
  const Figures busy = Periods(line.Frames(), from);

  std::printf("%d ticks each, 500-entry playlist, plug-in in the emulated player under Wine\n", kTicks);
  Print("idle", idle, kTimerMs + kCommandWaitMs);
  Print("busy", busy, kTimerMs);
  player.Command({"quit"});
  return player.Stop() == 0 ? 0 : 1;
}

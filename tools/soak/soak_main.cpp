// The soak: the real DLL in the emulated player under Wine, driven for a set time by a
// panel that mixes commands of every letter with broken frames. Usage: soak [minutes]
// [seed] (default 1 minute, a seed from the clock; the seed is printed so that a run can
// be repeated in kind, though not tick for tick).
//
// It fails (exit 1) when the player crashed or hung (a "fault" line, "sync" unanswered
// for 5 s, no status frame for 5 s, an exit code other than 0), when a tick took longer
// than 2 s, when a file left the music folder other than by an acknowledged "F", when a
// file was changed or overwritten, or when a saved playlist is not one path per line,
// each ending 00 0D 0A.
//
// Why 2 s: the longest tick the soak can ask for re-reads a playlist of 500 titles or
// follows a trim of one, about a thousand messages to the player, 0.15 to 0.4 s under
// Wine here; 2 s leaves room for a loaded two-core machine and is still well below
// what a user would take for a hung panel or player.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "file_ledger.h"
#include "panel_line.h"
#include "player_process.h"
#include "soak_driver.h"
#include "soak_setup.h"
#include "tick_figures.h"

namespace {

constexpr int kQuitWaitMs = 10000;
constexpr const char* kCleanMisuse =
    "misuse\tuse-after-release=0\tdouble-release=0\tother-record=0\tunreleased=0";

void PrintCounts(const char* what, const std::map<std::string, int>& counts) {
  int total = 0;
  for (const auto& [kind, n] : counts) total += n;
  std::printf("%-16s %6d:", what, total);
  for (const auto& [kind, n] : counts) std::printf("  %s %d", kind.c_str(), n);
  std::printf("\n");
}

// Stray bytes: what the panel received that was not part of a whole frame.
size_t StrayBytes(PanelLine& line) {
  size_t framed = 0;
  for (const Frame& f : line.Frames()) framed += f.payload.size() + 6;
  return line.RawByteCount() - framed;
}

void Finish(PanelLine& line, PlayerProcess& player, SoakFigures& f) {
  if (player.Command({"quit"}, kQuitWaitMs) != "quit\tdone") f.failures.push_back("quit did not return");
  const std::string misuse = player.Command({"misuse"});
  if (misuse != kCleanMisuse) f.failures.push_back("file information misused: " + misuse);
  if (!player.WaitForLine("fault", 0).empty()) f.failures.push_back("the player reported a fault");
  const int code = player.Stop(kQuitWaitMs);
  if (code != 0) f.failures.push_back("the player's exit code was " + std::to_string(code));
  const int broken = line.BrokenFrames();
  if (broken != 0) f.failures.push_back(std::to_string(broken) + " broken frames from the plug-in");
  const size_t stray = StrayBytes(line);
  if (stray != 0) f.failures.push_back(std::to_string(stray) + " bytes from the plug-in outside frames");
}

void Print(double minutes, uint32_t seed, const SoakFigures& f, const FileLedger::Verdict& v) {
  const Figures ticks = Summarise(f.periods);
  std::printf("soak: %.1f min, seed %u; the plug-in in the emulated player under Wine\n", minutes, seed);
  std::printf("frames from the plug-in %d: %zu status frames (ticks), %d replies\n", f.frames, ticks.count + 1,
              f.frames - static_cast<int>(ticks.count) - 1);
  PrintCounts("commands sent", f.sent);
  PrintCounts("broken sent", f.broken);
  PrintCounts("replies", f.replies);
  std::printf("tick period ms: median %.1f  p99 %.1f  max %.1f  (bound %.0f)\n", ticks.median, ticks.p99, ticks.max,
              kTickBoundMs);
  std::printf("line recovered after broken frames: %d of %d probes answered\n", f.probesAnswered, f.probes);
  std::printf("player answered sync %d times, slowest %.1f ms (bound %d)\n", f.syncs, f.slowestSyncMs, kSyncBoundMs);
  std::printf("dumps: %d moved, %d of a file already in the dump folder, %d refused; %d files found whole in the "
              "dump folder; songs restocked %d times\n",
              f.dumpsMoved, f.dumpsInPlace, f.dumpsRefused, v.moved, f.restocked);
  std::printf("saved playlists: %d, each checked line by line\n", v.playlists);
  std::printf("changes from the player's side: %d\n", f.outsideChanges);
}

}  // namespace

int main(int argc, char** argv) {
  const double minutes = argc > 1 ? std::atof(argv[1]) : 1;
  const uint32_t seed = argc > 2 ? static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10))
                                 : static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch().count());
  if (minutes <= 0) {
    std::fprintf(stderr, "usage: soak [minutes] [seed]\n");
    return 2;
  }
  PanelLine line(1);
  PlayerProcess player;
  FileLedger ledger(player.Folder() + "/Music/");
  const std::string failure = StartSoakPlugin(player, line, ledger);
  if (!failure.empty()) {
    std::fprintf(stderr, "soak: the plug-in did not start: %s\n", failure.c_str());
    return 1;
  }
  SoakDriver driver(line, player, ledger, seed);
  driver.Run(minutes);
  driver.Drain();
  SoakFigures& f = driver.Figures();
  Finish(line, player, f);
  const FileLedger::Verdict verdict = ledger.Check(f.dumpsMoved);
  Print(minutes, seed, f, verdict);
  f.failures.insert(f.failures.end(), verdict.failures.begin(), verdict.failures.end());
  for (const std::string& failure : f.failures) std::printf("FAILED: %s\n", failure.c_str());
  std::printf("%s\n", f.failures.empty() ? "soak passed" : "soak FAILED");
  return f.failures.empty() ? 0 : 1;
}

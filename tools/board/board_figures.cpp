#include "board_figures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

Spread SpreadOf(std::vector<double> values) {
  Spread s;
  if (values.empty()) return s;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  s.any = true;
  s.median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
  const size_t rank = static_cast<size_t>(std::ceil(0.99 * static_cast<double>(n)));
  s.p99 = values[std::max<size_t>(rank, 1) - 1];
  s.max = values.back();
  return s;
}

namespace {

std::string Ms(bool any, double value) {
  if (!any) return "n/a";
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

std::string Percent(double value) {
  if (value < 0) return "n/a";
  char text[32];
  std::snprintf(text, sizeof text, "%.1f%%", value);
  return text;
}

std::string FaultWords(const BoardFigures& f) {
  std::string words = " faults";
  for (int kind = 0; kind < kFaultKinds; kind++) {
    words += std::string(" ") + FaultName(static_cast<FaultKind>(kind)) + " " + std::to_string(f.faults[kind]);
  }
  return words;
}

}  // namespace

std::string StatsLine(const BoardFigures& f) {
  const std::string percent = Percent(f.asleepPercent);
  const Spread& d = f.delay;
  const Spread& k = f.keyToCommand;
  return "stats status " + std::to_string(f.statusFrames) + " commands " + std::to_string(f.commands) +
         " delay-ms median " + Ms(d.any, d.median) + " p99 " + Ms(d.any, d.p99) + " max " + Ms(d.any, d.max) +
         " over15 " + std::to_string(f.delaysOver15) + " key-to-command-ms median " + Ms(k.any, k.median) +
         " max " + Ms(k.any, k.max) + " overruns " + (f.overruns < 0 ? "n/a" : std::to_string(f.overruns)) +
         " asleep " + percent + " stack " + std::to_string(f.stackBytes) + " resets " + std::to_string(f.resets) +
         " bus-busy " + Percent(f.busBusyPercent) + FaultWords(f);
}

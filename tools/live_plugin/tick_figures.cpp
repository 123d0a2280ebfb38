#include "tick_figures.h"

#include <algorithm>

Figures Summarise(std::vector<double> values) {
  Figures f;
  f.count = values.size();
  if (values.empty()) return f;
  std::sort(values.begin(), values.end());
  f.median = values[values.size() / 2];
  f.p95 = values[values.size() * 95 / 100];
  f.p99 = values[values.size() * 99 / 100];
  f.max = values.back();
  return f;
}

double Median(std::vector<double> values) { return Summarise(std::move(values)).median; }

bool IsStatus(const Frame& frame) { return DecodeStatus(frame.payload).has_value(); }

Figures StatusPeriods(const std::vector<Frame>& frames, size_t from) {
  std::vector<double> periods;
  const Frame* last = nullptr;
  for (size_t i = from; i < frames.size(); i++) {
    if (!IsStatus(frames[i])) continue;
    if (last) periods.push_back(frames[i].atMs - last->atMs);
    last = &frames[i];
  }
  return Summarise(periods);
}

size_t IndexOf(const std::vector<Frame>& frames, size_t from, const Frame& frame) {
  for (size_t i = from; i < frames.size(); i++) {
    if (frames[i].atMs == frame.atMs && frames[i].payload == frame.payload) return i;
  }
  return frames.size();
}

std::vector<double> PeriodsBefore(const std::vector<Frame>& frames, size_t at, int count) {
  std::vector<double> periods;
  size_t later = frames.size();  // no status frame seen yet
  for (size_t i = std::min(at, frames.size()); i-- > 0 && static_cast<int>(periods.size()) < count;) {
    if (!IsStatus(frames[i])) continue;
    if (later < frames.size()) periods.push_back(frames[later].atMs - frames[i].atMs);
    later = i;
  }
  return periods;
}

double TickBefore(const std::vector<Frame>& frames, size_t at) {
  const auto periods = PeriodsBefore(frames, at, 1);
  return periods.empty() ? 0 : periods[0];
}

const char* Verdict(double ratio, double target) { return ratio <= target ? "met" : "not met"; }

#include "tick_figures.h"

#include <algorithm>

Figures Summarise(std::vector<double> values) {
  Figures f;
  f.count = values.size();
  if (values.empty()) return f;
  std::sort(values.begin(), values.end());
  f.median = values[values.size() / 2];
  f.p95 = values[values.size() * 95 / 100];
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

double TickBefore(const std::vector<Frame>& frames, size_t at) {
  double later = -1;
  for (size_t i = std::min(at, frames.size()); i-- > 0;) {
    if (!IsStatus(frames[i])) continue;
    if (later < 0) {
      later = frames[i].atMs;
    } else {
      return later - frames[i].atMs;
    }
  }
  return 0;
}

const char* Verdict(double ratio, double target) { return ratio <= target ? "met" : "not met"; }

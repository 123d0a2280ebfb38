// Periods and ratios of the ticks, as the benchmark and the soak print them.
#pragma once
#include <cstddef>
#include <vector>

#include "wire.h"

constexpr double kTimerMs = 35;        // the one-shot timer between two ticks
constexpr double kCommandWaitMs = 15;  // an idle tick's wait for a command
constexpr double kIdleFloorMs = kTimerMs + kCommandWaitMs;
// A command tick takes its command at once; the idle tick after it sends the reply.
constexpr double kExchangeFloorMs = kTimerMs + kIdleFloorMs;

struct Figures {
  size_t count = 0;  // periods measured
  double median = 0, p95 = 0, p99 = 0, max = 0;
};

Figures Summarise(std::vector<double> values);
double Median(std::vector<double> values);
// Periods between the status frames from index `from` on.
Figures StatusPeriods(const std::vector<Frame>& frames, size_t from);

bool IsStatus(const Frame& frame);
// Index of `frame` in `frames` at or after `from`, or frames.size().
size_t IndexOf(const std::vector<Frame>& frames, size_t from, const Frame& frame);
// The periods of the last `count` ticks that sent their status frames before frames[at],
// the latest first: each from a status frame to the next.
std::vector<double> PeriodsBefore(const std::vector<Frame>& frames, size_t at, int count);
// The period of the tick before the one whose status frame is frames[at]: from the
// previous status frame to the last one before `at`. 0 when there are not two.
double TickBefore(const std::vector<Frame>& frames, size_t at);

// "met" or "not met", for a figure against its target ratio.
const char* Verdict(double ratio, double target);

// The figures of the line and the chip that `stats` prints, and their one-line format:
//
//   stats status N commands N delay-ms median X p99 X max X over15 N
//         key-to-command-ms median X max X overruns N asleep X% stack N resets N
//         bus-busy X% faults flash N overrun N display N backlight N bus N eeprom N line N
//
// (one line). X has one decimal; a figure with nothing measured yet is "n/a", as are
// the overruns of a firmware without a RxOverruns counter and the bus's busy share
// (the time the two-wire bus was driven, of all the chip's time) before the bus is used. The faults are the board's
// own count of what the real parts would not take (board_faults.h), by kind.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "board_faults.h"

struct Spread {
  bool any = false;
  double median = 0;
  double p99 = 0;  // nearest rank
  double max = 0;
};

Spread SpreadOf(std::vector<double> values);

struct BoardFigures {
  int statusFrames = 0;
  int commands = 0;
  Spread delay;          // command after the end of the status frame before it, ms
  int delaysOver15 = 0;
  Spread keyToCommand;   // key down to the first byte of the next command, ms
  int overruns = -1;     // -1: the firmware has no RxOverruns
  double asleepPercent = 0;
  int stackBytes = 0;
  int resets = 0;
  double busBusyPercent = -1;  // -1: the bus never used
  std::array<int, kFaultKinds> faults{};  // by FaultKind
};

std::string StatsLine(const BoardFigures& f);

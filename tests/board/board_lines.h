// The board's output lines as a test reads them: the display and the figures.
#pragma once
#include <string>
#include <vector>

// The display as the board last showed it.
struct BoardDisplay {
  bool any = false;  // no display line yet
  std::string row0;  // 16 characters (20 on a 20x4), UTF-8 (custom slots as their glyphs)
  std::string row1;
  std::vector<std::string> rows;  // every row, four on a 20x4
  bool light = false;
};

// The figures of a "stats" line; a figure the board printed as "n/a" is -1.
struct BoardStats {
  int statusFrames = -1;
  int commands = -1;
  double delayMedianMs = -1;
  double delayP99Ms = -1;
  double delayMaxMs = -1;
  int delaysOver15 = -1;
  double keyToCommandMedianMs = -1;
  double keyToCommandMaxMs = -1;
  int overruns = -1;
  double asleepPercent = -1;
  int stackBytes = -1;
  int resets = -1;
  double busBusyPercent = -1;  // the share of time the two-wire bus was driven
  // The board's faults by kind: what the real parts would not take.
  int flashFaults = -1;
  int overrunFaults = -1;
  int displayFaults = -1;
  int backlightFaults = -1;
  int busFaults = -1;
  int eepromFaults = -1;
  int lineFaults = -1;
  int Faults() const {
    return flashFaults + overrunFaults + displayFaults + backlightFaults + busFaults + eepromFaults + lineFaults;
  }
};

bool ParseStatsLine(const std::string& line, BoardStats* stats);
bool ParseDisplayLine(const std::string& line, BoardDisplay* display);

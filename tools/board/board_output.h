// The board's lines, one event a line, with the time in milliseconds of chip time since
// the board started. In script mode they go to the board's own output; in terminal
// mode the screen shows the latest few.
#pragma once
#include <cstdio>
#include <deque>
#include <string>

#include "display_watch.h"
#include "frame_hunt.h"

class BoardOutput {
 public:
  explicit BoardOutput(std::FILE* to) : to_(to) {}  // nullptr: kept for the screen only
  void Print(const std::string& line);
  const std::deque<std::string>& Recent() const { return recent_; }

 private:
  std::FILE* to_;
  std::deque<std::string> recent_;
};

std::string Ms(double ms);  // one decimal
// "display <t> |row0|row1| light on", with rows 2 and 3 on a 20x4 display
std::string DisplayLine(const Screen& s, double atMs);
// "rx <t> <len> <letter>" and "tx <t> <len> <letter> <sub>"
std::string TraceLine(const char* direction, const MeteredFrame& f, double atMs);

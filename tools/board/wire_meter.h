// Measures the panel line from the board's side: status frames in, commands out, how
// long after a status frame each command starts (the plug-in listens for 15 ms), and
// how long after a key press the command that follows it starts.
#pragma once
#include <vector>

#include "board_figures.h"
#include "frame_hunt.h"

constexpr double kListenWindowMs = 15;

class WireMeter {
 public:
  // A byte from the PC as it goes into the chip's UART, and a byte the chip sent;
  // both return the frames they completed.
  std::vector<MeteredFrame> FromPc(uint8_t byte, double atMs);
  std::vector<MeteredFrame> FromBoard(uint8_t byte, double atMs);
  void KeyDown(double atMs) { keysWaiting_.push_back(atMs); }
  // A reset or a new line: half a frame from before is no frame.
  void Restart();
  // Fills in the line's figures; the chip's are left as they are.
  void Figures(BoardFigures* f) const;

 private:
  FrameHunt fromPc_;
  FrameHunt fromBoard_;
  int statusFrames_ = 0;
  int commands_ = 0;
  bool anyStatus_ = false;
  double lastStatusEndMs_ = 0;
  std::vector<double> delays_;
  std::vector<double> keysWaiting_;
  std::vector<double> keyToCommand_;
};

// A payload of 92 bytes beginning with "B".
bool IsStatusFrame(const MeteredFrame& f);

// The plug-in's end of the line as the panel meets it, on a clock of its own, for the
// panel emulator's tests: a status frame every tick, a command taken only if it comes
// within 15 ms after that frame (one written later waits for the next tick's receive,
// and is counted late), the pending reply sent only on a tick that took no command, and
// a small model of the lists, so that whole transfers run from bytes.
#pragma once
#include <deque>
#include <string>
#include <vector>

#include "line.h"

struct FakePlugin {
  std::vector<std::string> lists[3];  // titles by list kind
  int active = -1;                    // no list chosen yet
  size_t cursor = 0;
  bool dropNextChunk = false;    // the next "D" chunk is lost on the line
  bool playlistChanged = false;  // the player changed its playlist: posted at the next idle tick
  Bytes status = [] {
    Bytes b(92, 0);
    b[0] = 'B';
    return b;
  }();
  // Every command taken, with the tick it came in.
  struct Taken {
    Bytes payload;
    long tick;
  };
  std::vector<Taken> commands;
};

class FakePluginLine : public Line {
 public:
  FakePlugin plugin;
  double now = 0;
  long ticks = 0;
  int late = 0;         // commands that missed their window
  bool silent = false;  // the plug-in stopped ticking
  std::string problem;  // the device is gone while this is set

  int Read(uint8_t* into, size_t room, int waitMs) override;
  bool Write(const Bytes& bytes) override;
  double NowMs() override { return now; }
  std::string Problem() const override { return problem; }

 private:
  void Tick();
  void CloseWindow();
  void Take(const Bytes& command);
  Bytes Answer(const Bytes& command);
  Bytes NextChunk();
  double nextTick_ = 0;
  double windowEnd_ = -1;  // the 15 ms after the status frame; -1 when shut
  bool tookCommand_ = false;
  Bytes pending_;
  Bytes fromPanel_;
  std::deque<Bytes> inbox_;  // commands that came outside the window
  std::deque<uint8_t> toPanel_;
};

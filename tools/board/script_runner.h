// Runs script steps on the board, in chip time: a key press lasts its time before the
// next step begins, a wait looks at the display rows as they are shown.
#pragma once
#include <deque>

#include "board.h"
#include "board_script.h"

class ScriptRunner {
 public:
  ScriptRunner(Board& board, BoardOutput& out, double timeoutMs) : board_(board), out_(out), timeoutMs_(timeoutMs) {}
  void Add(const ScriptStep& step) { steps_.push_back(step); }
  // No more steps will come: the script ends after the last one.
  void EndOfInput() { ended_ = true; }
  // Moves the script on as far as the board's time allows; false once it has ended.
  bool Tick();
  bool AnyTimeout() const { return anyTimeout_; }

 private:
  bool Begin(const ScriptStep& step);  // true when the step is already done
  bool Going();                        // true while the current step still runs
  bool ShowsText(const std::string& text) const;
  bool TookSnapshot(double now);  // true once printed, or timed out
  Board& board_;
  BoardOutput& out_;
  double timeoutMs_;
  std::deque<ScriptStep> steps_;
  ScriptStep step_;
  bool active_ = false;
  bool ended_ = false;
  bool quit_ = false;
  bool anyTimeout_ = false;
  double startMs_ = 0;
  bool keyDown_ = false;  // a press's key is still down
  double untilMs_ = 0;
};

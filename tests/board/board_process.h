// The simulated panel board (quillbox-board) as a process a test drives: started with
// the firmware and the link where Wine maps the COM port, fed script commands on its
// standard input, read in a thread of its own; stopped with "quit", and by its process
// id when it does not end within a bounded wait.
#pragma once
#include <sys/types.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "board_lines.h"

class BoardProcess {
 public:
  BoardProcess() = default;
  ~BoardProcess();
  // Starts quillbox-board (QB_BOARD_BIN, or the build's) in script mode on standard input,
  // and waits (bounded) until it has put its pty behind the link: it says "reset ...
  // power on" once it has. False when it did not within the wait.
  bool Start(const std::string& firmware, const std::string& link, const std::vector<std::string>& extraArgs = {});
  // One script command ("press up", "wait Play", "sleep 0.5", "unplug" ...).
  void Send(const std::string& command);
  // Sends a command and, for "press" and "hold", waits (bounded) until the key is up.
  void Do(const std::string& command);

  std::vector<std::string> Lines();
  size_t LineCount();
  // Waits (at most timeoutMs) for a line from index `from` on that begins with prefix.
  bool WaitForLine(const std::string& prefix, size_t from, int timeoutMs, std::string* found = nullptr);
  // Waits (at most timeoutMs) for a line of a kind ("tx", "display", "key" ...) from index
  // `from` on that holds text: its time in milliseconds of chip time, or -1. *at gets
  // its index.
  double TimeOf(const std::string& kind, const std::string& text, size_t from, size_t* at = nullptr,
                int timeoutMs = 30000);

  // The faults the board printed from line `from` on ("fault <t> <kind> <what>"), each
  // as "<kind> <what>": what the real parts would not have taken.
  std::vector<std::string> Faults(size_t from = 0);

  BoardDisplay Display();
  // Waits (bounded) until a row holds text, or until pred holds for the display.
  bool WaitForText(const std::string& text, int timeoutMs);
  bool WaitForDisplay(const std::function<bool(const BoardDisplay&)>& pred, int timeoutMs);

  // Asks for the figures and parses the answer; false when none came in time.
  bool Stats(BoardStats* stats, int timeoutMs = 5000);
  // "quit", then waits (bounded) and kills by id when it lingers; returns the exit
  // status (-1 when killed). *final gets the figures the board printed as it quit.
  int Stop(int timeoutMs = 5000, BoardStats* final = nullptr);

 private:
  void ReadLoop();
  pid_t pid_ = -1;
  int toBoard_ = -1;
  int fromBoard_ = -1;
  std::thread reader_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<std::string> lines_;
  BoardDisplay display_;
  bool ended_ = false;
  std::atomic<bool> stopReading_{false};
};

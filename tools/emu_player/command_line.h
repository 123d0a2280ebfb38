// One line of standard input, handed from the reader thread to the main thread.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr size_t kInputLineCapacity = 8192;
constexpr uint32_t kCommandMessage = 0x8000;  // WM_APP: lParam is a StdinLine*

struct StdinLine {
  const char* text;  // not terminated; valid only until the message is answered
  size_t length;
  bool overlong;     // the line was longer than kInputLineCapacity - 1 and was cut
  bool end;          // standard input is finished; text is unused
};

// Runs one command on the main thread and writes its answer.
void RunStdinLine(const StdinLine& line);

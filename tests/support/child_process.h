// A program a test starts and talks to through pipes on its standard input and output
// (its standard error stays the test's), read line by line in a thread of the test's,
// and ended by its process id.
#pragma once
#include <sys/types.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

struct ChildProcess {
  pid_t pid = -1;
  int toChild = -1;    // its standard input
  int fromChild = -1;  // its standard output
};

// Starts args[0] (looked up on PATH when it holds no slash) in folder `dir` ("" for
// this one). A program that cannot be started ends at once with status 127.
ChildProcess StartChild(const std::vector<std::string>& args, const std::string& dir = "");

// Reads fd until its end, or until `stop` is set (looked at every 50 ms while the pipe
// is quiet, so that a pipe some other process still holds cannot keep a test waiting),
// handing over the whole lines of each read at once.
void ReadLines(int fd, const std::atomic<bool>& stop, const std::function<void(std::vector<std::string>& lines)>& take);

// Waits up to timeoutMs for the child to end, then kills it by its id: its wait status,
// or -1 when it had to be killed.
int WaitOrKill(pid_t pid, int timeoutMs);

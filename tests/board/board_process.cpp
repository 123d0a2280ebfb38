#include "board_process.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>

namespace {

bool Starts(const std::string& line, const std::string& prefix) { return line.compare(0, prefix.size(), prefix) == 0; }

}  // namespace

BoardProcess::~BoardProcess() {
  if (pid_ > 0) Stop(3000);
}

void BoardProcess::Start(const std::string& firmware, const std::string& link, const std::vector<std::string>& extraArgs) {
  const char* bin = std::getenv("QB_BOARD_BIN");
  const std::string program = bin ? bin : QB_BOARD_BIN;
  int in[2], out[2];
  if (pipe(in) != 0 || pipe(out) != 0) throw std::runtime_error("pipe failed");
  std::vector<std::string> args = {program, "--firmware", firmware, "--pty", link};
  args.insert(args.end(), extraArgs.begin(), extraArgs.end());
  pid_ = fork();
  if (pid_ == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    close(in[1]);
    close(out[0]);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  toBoard_ = in[1];
  fromBoard_ = out[0];
  signal(SIGPIPE, SIG_IGN);
  reader_ = std::thread([this] { ReadLoop(); });
}

void BoardProcess::ReadLoop() {
  std::string pending;
  char buffer[4096];
  for (;;) {
    pollfd fd = {fromBoard_, POLLIN, 0};
    if (poll(&fd, 1, 50) == 0) {
      if (stopReading_) break;
      continue;
    }
    const ssize_t n = read(fromBoard_, buffer, sizeof buffer);
    if (n <= 0) break;
    pending.append(buffer, static_cast<size_t>(n));
    std::lock_guard<std::mutex> lock(mutex_);
    for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
      lines_.push_back(pending.substr(0, end));
      pending.erase(0, end + 1);
      ParseDisplayLine(lines_.back(), &display_);
    }
    arrived_.notify_all();
  }
  std::lock_guard<std::mutex> lock(mutex_);
  ended_ = true;
  arrived_.notify_all();
}

void BoardProcess::Send(const std::string& command) {
  const std::string line = command + "\n";
  if (write(toBoard_, line.data(), line.size()) < 0) return;
}

std::vector<std::string> BoardProcess::Lines() {
  std::lock_guard<std::mutex> lock(mutex_);
  return lines_;
}

size_t BoardProcess::LineCount() {
  std::lock_guard<std::mutex> lock(mutex_);
  return lines_.size();
}

bool BoardProcess::WaitForLine(const std::string& prefix, size_t from, int timeoutMs, std::string* found) {
  std::unique_lock<std::mutex> lock(mutex_);
  size_t next = from;
  return arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
    for (; next < lines_.size(); next++) {
      if (!Starts(lines_[next], prefix)) continue;
      if (found) *found = lines_[next];
      return true;
    }
    return ended_;
  }) && next < lines_.size();
}

BoardDisplay BoardProcess::Display() {
  std::lock_guard<std::mutex> lock(mutex_);
  return display_;
}

bool BoardProcess::WaitForDisplay(const std::function<bool(const BoardDisplay&)>& pred, int timeoutMs) {
  std::unique_lock<std::mutex> lock(mutex_);
  bool met = false;
  arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
    met = display_.any && pred(display_);
    return met || ended_;
  });
  return met;
}

bool BoardProcess::WaitForText(const std::string& text, int timeoutMs) {
  return WaitForDisplay(
      [&](const BoardDisplay& d) {
        return d.row0.find(text) != std::string::npos || d.row1.find(text) != std::string::npos;
      },
      timeoutMs);
}

bool BoardProcess::Stats(BoardStats* stats, int timeoutMs) {
  const size_t from = LineCount();
  Send("stats");
  std::string line;
  return WaitForLine("stats ", from, timeoutMs, &line) && ParseStatsLine(line, stats);
}

int BoardProcess::Stop(int timeoutMs, BoardStats* final) {
  if (pid_ <= 0) return -1;
  const size_t from = LineCount();
  Send("quit");
  close(toBoard_);
  int status = 0;
  for (int waited = 0; waitpid(pid_, &status, WNOHANG) == 0; waited += 10) {
    if (waited >= timeoutMs) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
      status = -1;
      break;
    }
    usleep(10000);
  }
  pid_ = -1;
  stopReading_ = true;
  if (reader_.joinable()) reader_.join();
  close(fromBoard_);
  std::string line;
  if (final != nullptr && WaitForLine("stats ", from, 0, &line)) ParseStatsLine(line, final);
  return status == -1 || !WIFEXITED(status) ? -1 : WEXITSTATUS(status);
}

#include "board_process.h"

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

#include "child_process.h"

namespace {

bool Starts(const std::string& line, const std::string& prefix) { return line.compare(0, prefix.size(), prefix) == 0; }

}  // namespace

BoardProcess::~BoardProcess() {
  if (pid_ > 0) Stop(3000);
}

bool BoardProcess::Start(const std::string& firmware, const std::string& link, const std::vector<std::string>& extraArgs) {
  const char* bin = std::getenv("QB_BOARD_BIN");
  std::vector<std::string> args = {bin ? bin : QB_BOARD_BIN, "--firmware", firmware, "--pty", link};
  args.insert(args.end(), extraArgs.begin(), extraArgs.end());
  const ChildProcess child = StartChild(args);
  pid_ = child.pid;
  toBoard_ = child.toChild;
  fromBoard_ = child.fromChild;
  reader_ = std::thread([this] { ReadLoop(); });
  return WaitForLine("reset ", 0, 10000);
}

void BoardProcess::ReadLoop() {
  ReadLines(fromBoard_, stopReading_, [this](std::vector<std::string>& lines) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (std::string& line : lines) {
      ParseDisplayLine(line, &display_);
      lines_.push_back(std::move(line));
    }
    arrived_.notify_all();
  });
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

void BoardProcess::Do(const std::string& command) {
  const size_t from = LineCount();
  Send(command);
  if (!Starts(command, "press ") && !Starts(command, "hold ")) return;
  const size_t key = command.find(' ') + 1;
  const std::string name = command.substr(key, command.find(' ', key) - key);
  TimeOf("key", " " + name + " up", from, nullptr, 10000);  // "key <t> <KEY> up"
}

double BoardProcess::TimeOf(const std::string& kind, const std::string& text, size_t from, size_t* at,
                            int timeoutMs) {
  std::unique_lock<std::mutex> lock(mutex_);
  size_t next = from;
  const bool found = arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
    for (; next < lines_.size(); next++) {
      if (Starts(lines_[next], kind + " ") && lines_[next].find(text) != std::string::npos) return true;
    }
    return ended_;
  }) && next < lines_.size();
  if (!found) return -1;
  if (at != nullptr) *at = next;
  return std::strtod(lines_[next].c_str() + kind.size() + 1, nullptr);
}

std::vector<std::string> BoardProcess::Faults(size_t from) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> faults;
  for (size_t i = from; i < lines_.size(); i++) {
    if (!Starts(lines_[i], "fault ")) continue;
    const size_t what = lines_[i].find(' ', 6);
    faults.push_back(what == std::string::npos ? lines_[i] : lines_[i].substr(what + 1));
  }
  return faults;
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
        for (const std::string& row : d.rows) {
          if (row.find(text) != std::string::npos) return true;
        }
        return false;
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
  const int status = WaitOrKill(pid_, timeoutMs);
  pid_ = -1;
  stopReading_ = true;
  if (reader_.joinable()) reader_.join();
  close(fromBoard_);
  std::string line;
  if (final != nullptr && WaitForLine("stats ", from, 0, &line)) ParseStatsLine(line, final);
  return status == -1 || !WIFEXITED(status) ? -1 : WEXITSTATUS(status);
}

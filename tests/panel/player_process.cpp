#include "player_process.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "child_process.h"

namespace fs = std::filesystem;

std::string HostCall::Detail(const std::string& key) const {
  for (const std::string& d : details) {
    if (d.compare(0, key.size() + 1, key + "=") == 0) return d.substr(key.size() + 1);
  }
  return "";
}

namespace {

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  std::string field;
  while (std::getline(in, field, '\t')) fields.push_back(field);
  return fields;
}

std::string Join(const std::vector<std::string>& fields) {
  std::string line;
  for (size_t i = 0; i < fields.size(); i++) line += (i ? "\t" : "") + fields[i];
  return line + "\n";
}

HostCall ParseHostCall(const std::vector<std::string>& f) {
  HostCall c;
  c.window = f.size() > 1 ? f[1] : "";
  if (f.size() > 5) {
    c.message = std::stol(f[2]);
    c.wParam = std::stoll(f[3]);
    c.lParam = std::stoll(f[4]);
    c.result = std::stoll(f[5]);
  }
  for (size_t i = 6; i < f.size(); i++) c.details.push_back(f[i]);
  return c;
}

}  // namespace

PlayerProcess::PlayerProcess() {
  const char* built = std::getenv("QB_PLAYER_DIR");
  std::string source = built ? built : QB_PLAYER_DIR;
  char pattern[] = "/tmp/qb-player-XXXXXX";
  if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
  folder_ = pattern;
  fs::create_directories(folder_ + "/Plugins");
  fs::copy_file(source + "/emu_player.exe", folder_ + "/emu_player.exe");
  fs::copy_file(source + "/Plugins/ml_quillbox.dll", folder_ + "/Plugins/ml_quillbox.dll");
}

PlayerProcess::~PlayerProcess() {
  if (pid_ > 0) Stop(3000);
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
}

std::string PlayerProcess::WindowsPath(const std::string& linuxPath) const {
  std::string path = "Z:" + linuxPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

void PlayerProcess::WriteFile(const std::string& relative, const std::string& content) {
  std::ofstream out(folder_ + "/" + relative, std::ios::binary);
  out << content;
}

void PlayerProcess::Start(const std::vector<std::string>& args) {
  std::vector<std::string> command = {"wine", "emu_player.exe"};
  command.insert(command.end(), args.begin(), args.end());
  const ChildProcess child = StartChild(command, folder_);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ended_ = false;  // a player started again after Stop reads on
  }
  stopReading_ = false;
  pid_ = child.pid;
  toPlayer_ = child.toChild;
  fromPlayer_ = child.fromChild;
  reader_ = std::thread([this] { ReadLoop(); });
}

void PlayerProcess::ReadLoop() {
  ReadLines(fromPlayer_, stopReading_, [this](std::vector<std::string>& lines) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const std::string& line : lines) {
      const auto fields = Split(line);
      if (!fields.empty() && fields[0] == "host") {
        calls_.push_back(ParseHostCall(fields));
      } else if (!fields.empty() && (fields[0] == "entry" || fields[0] == "end")) {
        // The rest of a "model" answer: the model line itself says what tests need.
      } else {
        answers_.push_back(line);
        taken_.push_back(false);
        callsBefore_.push_back(calls_.size());
      }
    }
    arrived_.notify_all();
  });
  std::lock_guard<std::mutex> lock(mutex_);
  ended_ = true;
  arrived_.notify_all();
}

void PlayerProcess::Send(const std::vector<std::string>& fields) {
  const std::string line = Join(fields);
  if (write(toPlayer_, line.data(), line.size()) < 0) return;
}

std::string PlayerProcess::WaitForLine(const std::string& prefix, int timeoutMs) {
  std::unique_lock<std::mutex> lock(mutex_);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    for (size_t i = 0; i < answers_.size(); i++) {
      if (!taken_[i] && answers_[i].compare(0, prefix.size(), prefix) == 0) {
        taken_[i] = true;
        return answers_[i];
      }
    }
    if (ended_) return "";
    if (arrived_.wait_until(lock, deadline) == std::cv_status::timeout) return "";
  }
}

std::string PlayerProcess::Command(const std::vector<std::string>& fields, int timeoutMs, size_t* callsBefore) {
  size_t before;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    before = answers_.size();
  }
  Send(fields);
  std::unique_lock<std::mutex> lock(mutex_);
  // The answer is the first line after the command that nobody has taken: a line that
  // some earlier command left behind (init's, say) stays for WaitForLine.
  // init's own answer comes only when init returns, possibly after other commands.
  const bool wantsInit = fields[0] == "init";
  std::string answer;
  arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
    for (size_t i = before; i < answers_.size(); i++) {
      if (taken_[i] || (answers_[i].rfind("init\t", 0) == 0) != wantsInit) continue;
      taken_[i] = true;
      answer = answers_[i];
      if (callsBefore) *callsBefore = callsBefore_[i];
      return true;
    }
    return ended_;
  });
  return answer;
}

std::vector<HostCall> PlayerProcess::HostCalls() {
  std::lock_guard<std::mutex> lock(mutex_);
  return calls_;
}

size_t PlayerProcess::HostCallCount() {
  std::lock_guard<std::mutex> lock(mutex_);
  return calls_.size();
}

bool PlayerProcess::WaitForHostCall(size_t from, const std::function<bool(const HostCall&)>& pred, int timeoutMs) {
  std::unique_lock<std::mutex> lock(mutex_);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  size_t next = from;
  for (;;) {
    for (; next < calls_.size(); next++) {
      if (pred(calls_[next])) return true;
    }
    if (ended_) return false;
    if (arrived_.wait_until(lock, deadline) == std::cv_status::timeout && next == calls_.size()) return false;
  }
}

bool PlayerProcess::SaidByeLast() {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const std::string& line : answers_) {
    if (line.rfind("fault", 0) == 0) return false;
  }
  return !answers_.empty() && answers_.back() == "bye";
}

// A player that did not end cleanly says how, and what it wrote that no test asked for
// (a "fault" line, say), so that a rare failure on a loaded machine can be read afterwards.
void PlayerProcess::ReportUnclean(int status) {
  if (status == -1) {
    std::fprintf(stderr, "player: killed after the wait\n");
  } else if (WIFSIGNALED(status)) {
    std::fprintf(stderr, "player: ended by signal %d\n", WTERMSIG(status));
  } else {
    std::fprintf(stderr, "player: exit code %d\n", WEXITSTATUS(status));
  }
  std::lock_guard<std::mutex> lock(mutex_);
  for (size_t i = 0; i < answers_.size(); ++i) {
    if (!taken_[i]) std::fprintf(stderr, "player: unread line: %s\n", answers_[i].c_str());
  }
}

int PlayerProcess::Stop(int timeoutMs) {
  if (pid_ <= 0) return -1;
  Send({"exit"});
  close(toPlayer_);
  const int status = WaitOrKill(pid_, timeoutMs);
  pid_ = -1;
  stopReading_ = true;
  if (reader_.joinable()) reader_.join();
  close(fromPlayer_);
  int code = status == -1 ? -1 : (WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  if (code != 0 && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL && SaidByeLast()) {
    // Wine's server kills a process that ends itself once its last thread is gone, and
    // on a loaded machine that kill can come before the process's own exit. "bye" is the
    // player's last act before ExitProcess(0), after quit and unload: that is a clean exit.
    code = 0;
  }
  if (code != 0) ReportUnclean(status);
  return code;
}

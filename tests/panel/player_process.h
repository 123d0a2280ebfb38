// The emulated player under Wine, driven through its standard input and read through
// its log. Each player runs from a folder of its own (its exe, Plugins\ml_quillbox.dll
// and whatever plugin.ini a test writes there), and is ended by its process id.
#pragma once
#include <sys/types.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// One "host" log line, split at its TABs: window, message, wParam, lParam, result, and
// the decoded key=value fields.
struct HostCall {
  std::string window;
  long message = 0;
  long long wParam = 0;
  long long lParam = 0;
  long long result = 0;
  std::vector<std::string> details;
  std::string Detail(const std::string& key) const;  // "" when absent
};

class PlayerProcess {
 public:
  // Copies the built player and DLL into a fresh folder (QB_PLAYER_DIR is the build's).
  PlayerProcess();
  ~PlayerProcess();

  // The process's id while it runs (Wine keeps the one it was started with), else -1.
  pid_t Pid() const { return pid_; }
  // The player's folder, as a Linux path and as the player sees it (Z:\...).
  const std::string& Folder() const { return folder_; }
  std::string WindowsPath(const std::string& linuxPath) const;
  void WriteFile(const std::string& relative, const std::string& content);

  void Start(const std::vector<std::string>& args = {});
  // Sends one command (fields joined with TABs) and returns its answer line; "" when
  // none came within the wait. *callsBefore, when given, gets the number of host lines
  // the player had written before that answer.
  std::string Command(const std::vector<std::string>& fields, int timeoutMs = 10000, size_t* callsBefore = nullptr);
  // Sends without waiting for the answer (for commands answered only later).
  void Send(const std::vector<std::string>& fields);
  // Waits for a non-host line that begins with prefix; returns it or "".
  std::string WaitForLine(const std::string& prefix, int timeoutMs);

  std::vector<HostCall> HostCalls();
  size_t HostCallCount();
  bool WaitForHostCall(size_t from, const std::function<bool(const HostCall&)>& pred, int timeoutMs);

  // "exit", then waits for the process (bounded) and kills it by id if it lingers.
  int Stop(int timeoutMs = 30000);

 private:
  void ReadLoop();
  bool SaidByeLast();
  void ReportUnclean(int status);
  std::string folder_;
  pid_t pid_ = -1;
  int toPlayer_ = -1;
  int fromPlayer_ = -1;
  std::thread reader_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<HostCall> calls_;
  std::vector<std::string> answers_;   // every other line, in order
  std::vector<bool> taken_;            // answers already returned to a caller
  std::vector<size_t> callsBefore_;    // host lines written before each answer
  bool ended_ = false;
  std::atomic<bool> stopReading_{false};
};

#include "child_process.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

ChildProcess StartChild(const std::vector<std::string>& args, const std::string& dir) {
  int in[2], out[2];
  if (pipe(in) != 0 || pipe(out) != 0) throw std::runtime_error("pipe failed");
  std::vector<std::string> copy = args;
  std::vector<char*> argv;
  for (std::string& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  ChildProcess child;
  child.pid = fork();
  if (child.pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    close(in[1]);
    close(out[0]);
    if (!dir.empty() && chdir(dir.c_str()) != 0) _exit(127);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  child.toChild = in[1];
  child.fromChild = out[0];
  signal(SIGPIPE, SIG_IGN);
  return child;
}

void ReadLines(int fd, const std::atomic<bool>& stop, const std::function<void(std::vector<std::string>& lines)>& take) {
  std::string pending;
  char buffer[8192];
  for (;;) {
    pollfd p = {fd, POLLIN, 0};
    if (poll(&p, 1, 50) == 0) {
      if (stop) return;
      continue;
    }
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) return;
    pending.append(buffer, static_cast<size_t>(n));
    std::vector<std::string> lines;
    for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
      lines.push_back(pending.substr(0, end));
      pending.erase(0, end + 1);
    }
    take(lines);
  }
}

int WaitOrKill(pid_t pid, int timeoutMs) {
  int status = 0;
  for (int waited = 0; waitpid(pid, &status, WNOHANG) == 0; waited += 10) {
    if (waited >= timeoutMs) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    usleep(10000);
  }
  return status;
}

// A null-modem cable between two pseudo-terminals, for the Win32 tests under Wine.
//
//   nullmodem DIR    makes DIR/com1 and DIR/com2 point at the slave ends of two pty
//                    pairs and copies bytes between their masters until SIGTERM.
//
// Wine maps COM1 and COM2 to those paths, so a test program can hold both ends of the
// line through the real Win32 serial calls.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

namespace {

volatile sig_atomic_t Stop = 0;

void OnSignal(int) { Stop = 1; }

struct End {
  int master = -1;
  int slave = -1;  // held open so the line never hangs up between test cases
  std::string link;
};

bool OpenEnd(End* end, const std::string& link) {
  char name[128];
  if (openpty(&end->master, &end->slave, name, nullptr, nullptr) != 0) return false;
  termios raw;
  tcgetattr(end->slave, &raw);
  cfmakeraw(&raw);
  tcsetattr(end->slave, TCSANOW, &raw);
  fcntl(end->master, F_SETFL, O_NONBLOCK);
  end->link = link;
  unlink(link.c_str());
  return symlink(name, link.c_str()) == 0;
}

// Copies what one master has to the other; a full buffer drops nothing, it waits.
void Relay(int from, int to) {
  unsigned char buffer[4096];
  const ssize_t n = read(from, buffer, sizeof buffer);
  for (ssize_t done = 0; n > 0 && done < n && !Stop;) {
    const ssize_t w = write(to, buffer + done, static_cast<size_t>(n - done));
    if (w > 0) {
      done += w;
    } else if (errno == EAGAIN) {
      poll(nullptr, 0, 1);
    } else {
      return;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: nullmodem DIR\n");
    return 2;
  }
  signal(SIGTERM, OnSignal);
  signal(SIGINT, OnSignal);
  const std::string dir = argv[1];
  End a, b;
  if (!OpenEnd(&a, dir + "/com1") || !OpenEnd(&b, dir + "/com2")) {
    std::perror("nullmodem");
    return 1;
  }
  while (!Stop) {
    pollfd fds[2] = {{a.master, POLLIN, 0}, {b.master, POLLIN, 0}};
    if (poll(fds, 2, 100) <= 0) continue;
    if (fds[0].revents & POLLIN) Relay(a.master, b.master);
    if (fds[1].revents & POLLIN) Relay(b.master, a.master);
  }
  unlink(a.link.c_str());
  unlink(b.link.c_str());
  return 0;
}

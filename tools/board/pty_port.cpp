#include "pty_port.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

PtyPort::~PtyPort() {
  if (master_ < 0) return;
  Close();
  unlink(link_.c_str());
}

bool PtyPort::Plug(std::string* problem) {
  if (master_ >= 0) Close();
  char name[128];
  int slave = -1;
  if (openpty(&master_, &slave, name, nullptr, nullptr) != 0) {
    *problem = std::string("openpty: ") + std::strerror(errno);
    master_ = -1;
    return false;
  }
  termios raw;
  tcgetattr(slave, &raw);
  cfmakeraw(&raw);
  tcsetattr(slave, TCSANOW, &raw);
  close(slave);  // held by whoever opens the port, not by us
  fcntl(master_, F_SETFL, O_NONBLOCK);
  fcntl(master_, F_SETFD, FD_CLOEXEC);
  opened_ = false;
  const std::string fresh = link_ + ".new";
  unlink(fresh.c_str());
  if (symlink(name, fresh.c_str()) != 0 || rename(fresh.c_str(), link_.c_str()) != 0) {
    *problem = link_ + ": " + std::strerror(errno);
    Close();
    return false;
  }
  return true;
}

void PtyPort::Unplug() {
  if (master_ < 0) return;
  // The link leads nowhere before the pty goes: its number, once freed, may soon be
  // another program's line.
  Relink(link_ + ".unplugged");
  Close();
}

void PtyPort::Relink(const std::string& target) {
  const std::string fresh = link_ + ".new";
  unlink(fresh.c_str());
  if (symlink(target.c_str(), fresh.c_str()) == 0) rename(fresh.c_str(), link_.c_str());
}

void PtyPort::Close() {
  close(master_);
  master_ = -1;
  opened_ = false;
}

PtyPort::Change PtyPort::Watch() {
  if (master_ < 0) return Change::None;
  pollfd p = {master_, POLLIN, 0};
  poll(&p, 1, 0);
  const bool open = !(p.revents & POLLHUP);
  if (open == opened_) return Change::None;
  opened_ = open;
  return open ? Change::Opened : Change::Closed;
}

size_t PtyPort::Read(uint8_t* into, size_t room) {
  if (!opened_) return 0;
  const ssize_t n = read(master_, into, room);
  return n > 0 ? static_cast<size_t>(n) : 0;
}

void PtyPort::Write(const uint8_t* bytes, size_t count) {
  if (!opened_) return;
  // A program that does not read fills the pty; the rest goes, as on a wire, unheard.
  if (write(master_, bytes, count) < 0) return;
}

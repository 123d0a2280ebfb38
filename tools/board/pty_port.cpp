#include "pty_port.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/inotify.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

PtyPort::~PtyPort() {
  if (notify_ >= 0) close(notify_);
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
  openers_ = 0;
  if (notify_ < 0) notify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (notify_ >= 0) watch_ = inotify_add_watch(notify_, name, IN_OPEN | IN_CLOSE);
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
  if (watch_ >= 0) inotify_rm_watch(notify_, watch_);
  watch_ = -1;
  close(master_);
  master_ = -1;
  opened_ = false;
  openers_ = 0;
}

std::vector<PtyPort::Change> PtyPort::Watch() {
  std::vector<Change> changes;
  if (master_ < 0) return changes;
  CountEvents(&changes);
  pollfd p = {master_, POLLIN, 0};
  poll(&p, 1, 0);
  const bool open = !(p.revents & POLLHUP);
  if (open && openers_ == 0) {
    openers_ = 1;  // opened before its event could be read (or without one)
    changes.push_back(Change::Opened);
  } else if (!open && openers_ > 0) {
    openers_ = 0;
    changes.push_back(Change::Closed);
  }
  opened_ = open;
  return changes;
}

void PtyPort::CountEvents(std::vector<Change>* changes) {
  alignas(inotify_event) char events[4096];
  if (notify_ < 0) return;
  for (;;) {
    const ssize_t n = read(notify_, events, sizeof events);
    if (n <= 0) return;
    for (ssize_t at = 0; at < n;) {
      const inotify_event* e = reinterpret_cast<const inotify_event*>(events + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
      if (e->wd != watch_) continue;  // a pty unplugged before
      if ((e->mask & IN_OPEN) && openers_++ == 0) changes->push_back(Change::Opened);
      if ((e->mask & IN_CLOSE) && openers_ > 0 && --openers_ == 0) changes->push_back(Change::Closed);
    }
  }
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

#include "serial_line.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

double MonotonicMs() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

namespace {

bool SetLine(int fd) {
  termios t;
  if (tcgetattr(fd, &t) != 0) return false;
  cfmakeraw(&t);
  cfsetispeed(&t, B115200);
  cfsetospeed(&t, B115200);
  t.c_cflag &= ~static_cast<tcflag_t>(PARENB | CSTOPB | CSIZE | CRTSCTS);
  t.c_cflag |= CS8 | CLOCAL | CREAD;
  t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  if (tcsetattr(fd, TCSANOW, &t) != 0) return false;
  tcflush(fd, TCIOFLUSH);
  return true;
}

// A USB adapter holds received bytes back for its latency timer (16 ms by default on
// common chips), longer than the plug-in's 15 ms window: ask the driver for low latency.
// A pty or a plain port refuses, which is fine.
void AskLowLatency(int fd) {
  serial_struct serial;
  if (ioctl(fd, TIOCGSERIAL, &serial) != 0) return;
  serial.flags |= ASYNC_LOW_LATENCY;
  ioctl(fd, TIOCSSERIAL, &serial);
}

// Waits for bytes on fd: their count, 0 after the wait, -1 when the fd failed.
int ReadWithin(int fd, uint8_t* into, size_t room, int waitMs) {
  pollfd p = {fd, POLLIN, 0};
  const int ready = poll(&p, 1, waitMs);
  if (ready < 0) return errno == EINTR ? 0 : -1;
  if (ready == 0) return 0;
  if (!(p.revents & POLLIN)) {
    errno = 0;  // hung up or failed, nothing left to read: no call failed to say why
    return -1;
  }
  const ssize_t n = read(fd, into, room);
  if (n > 0) return static_cast<int>(n);
  if (n < 0 && (errno == EAGAIN || errno == EINTR)) return 0;
  if (n == 0) errno = 0;
  return -1;
}

bool WriteAll(int fd, const Bytes& bytes) {
  size_t done = 0;
  for (int spins = 0; done < bytes.size() && spins < 100; spins++) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
    } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
      return false;
    } else {
      pollfd p = {fd, POLLOUT, 0};
      poll(&p, 1, 5);
    }
  }
  return done == bytes.size();
}

}  // namespace

SerialLine::SerialLine(std::string path) : path_(std::move(path)) { Open(); }

SerialLine::~SerialLine() {
  if (fd_ >= 0) close(fd_);
}

bool SerialLine::Open() {
  nextTryMs_ = MonotonicMs() + 500;
  const int fd = open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    problem_ = path_ + ": " + std::strerror(errno);
    return false;
  }
  if (!SetLine(fd)) {
    problem_ = path_ + ": not a serial device (" + std::strerror(errno) + ")";
    close(fd);
    return false;
  }
  AskLowLatency(fd);
  fd_ = fd;
  problem_.clear();
  return true;
}

void SerialLine::Drop(const std::string& what) {
  problem_ = path_ + ": " + what;
  close(fd_);
  fd_ = -1;
  nextTryMs_ = MonotonicMs() + 500;
}

int SerialLine::Read(uint8_t* into, size_t room, int waitMs) {
  if (fd_ < 0 && !(MonotonicMs() >= nextTryMs_ && Open())) {
    poll(nullptr, 0, waitMs);
    return -1;
  }
  const int n = ReadWithin(fd_, into, room, waitMs);
  if (n < 0) Drop(errno ? std::strerror(errno) : "hung up");
  return n;
}

bool SerialLine::Write(const Bytes& bytes) {
  if (fd_ < 0) return false;
  if (WriteAll(fd_, bytes)) return true;
  Drop(std::string("write failed: ") + std::strerror(errno));
  return false;
}

double SerialLine::NowMs() { return MonotonicMs(); }

PtyLine::PtyLine(std::string link) : link_(std::move(link)) {
  char name[128];
  if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
    problem_ = std::string("openpty: ") + std::strerror(errno);
    master_ = -1;
    return;
  }
  termios raw;
  tcgetattr(slave_, &raw);
  cfmakeraw(&raw);
  tcsetattr(slave_, TCSANOW, &raw);
  fcntl(master_, F_SETFL, O_NONBLOCK);
  // Replaced in one step, so that whoever opens the link never finds it missing.
  const std::string temporary = link_ + ".new";
  unlink(temporary.c_str());
  if (symlink(name, temporary.c_str()) != 0 || rename(temporary.c_str(), link_.c_str()) != 0) {
    problem_ = link_ + ": " + std::strerror(errno);
  }
}

PtyLine::~PtyLine() {
  if (master_ < 0) return;
  unlink(link_.c_str());
  close(master_);
  close(slave_);
}

int PtyLine::Read(uint8_t* into, size_t room, int waitMs) {
  if (master_ < 0) {
    poll(nullptr, 0, waitMs);
    return -1;
  }
  const int n = ReadWithin(master_, into, room, waitMs);
  if (n >= 0) return n;
  poll(nullptr, 0, waitMs);  // our own slave keeps the pty up: this passes
  return 0;
}

bool PtyLine::Write(const Bytes& bytes) { return master_ >= 0 && WriteAll(master_, bytes); }

double PtyLine::NowMs() { return MonotonicMs(); }

#include "panel_line.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

double NowMs() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

PanelLine::PanelLine(int port) {
  const char* dir = std::getenv("QB_PORT_DIR");
  if (dir == nullptr) throw std::runtime_error("QB_PORT_DIR is not set: run the tests through scripts/check.sh");
  link_ = std::string(dir) + "/com" + std::to_string(port);
  Connect();
}

PanelLine::~PanelLine() {
  Disconnect();
  unlink(link_.c_str());
}

void PanelLine::Unplug() {
  // The link leads nowhere before the pty goes: its number, once freed, may soon be
  // another program's line.
  Relink(link_ + ".unplugged");
  Disconnect();
}

double PanelLine::PlugBack() {
  Connect();
  return NowMs();
}

void PanelLine::Connect() {
  char name[128];
  if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) throw std::runtime_error("openpty failed");
  // Kept from the player and its helpers, which are started later: an end that they
  // inherited would keep the line plugged in after Unplug.
  fcntl(master_, F_SETFD, FD_CLOEXEC);
  fcntl(slave_, F_SETFD, FD_CLOEXEC);
  termios raw;
  tcgetattr(slave_, &raw);
  cfmakeraw(&raw);
  tcsetattr(slave_, TCSANOW, &raw);
  Relink(name);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = false;
  }
  reader_ = std::thread([this] { ReadLoop(); });
}

void PanelLine::Disconnect() {
  if (master_ < 0) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  reader_.join();
  close(master_);
  close(slave_);
  master_ = slave_ = -1;
  std::lock_guard<std::mutex> lock(mutex_);
  stream_.clear();  // half a frame from before the cable was pulled is not a frame
}

// One rename, so the port is never without a name while the link changes.
void PanelLine::Relink(const std::string& target) {
  const std::string fresh = link_ + ".new";
  unlink(fresh.c_str());
  if (symlink(target.c_str(), fresh.c_str()) != 0 || rename(fresh.c_str(), link_.c_str()) != 0) {
    throw std::runtime_error("cannot link " + link_);
  }
}

void PanelLine::ReadLoop() {
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stop_) return;
    }
    pollfd fd = {master_, POLLIN, 0};
    if (poll(&fd, 1, 20) <= 0 || !(fd.revents & POLLIN)) continue;
    uint8_t buffer[4096];
    const ssize_t n = read(master_, buffer, sizeof buffer);
    if (n <= 0) continue;
    const double at = NowMs();
    std::lock_guard<std::mutex> lock(mutex_);
    rawBytes_ += static_cast<size_t>(n);
    stream_.insert(stream_.end(), buffer, buffer + n);
    while (auto frame = TakeFrame(stream_, &broken_)) {
      frame->atMs = at;
      frames_.push_back(*frame);
    }
    arrived_.notify_all();
  }
}

void PanelLine::SendRaw(const Bytes& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
}

void PanelLine::Send(const Bytes& payload, uint8_t sequence) { SendRaw(EncodeFrame(payload, sequence)); }

std::vector<Frame> PanelLine::Frames() {
  std::lock_guard<std::mutex> lock(mutex_);
  return frames_;
}

size_t PanelLine::FrameCount() {
  std::lock_guard<std::mutex> lock(mutex_);
  return frames_.size();
}

size_t PanelLine::RawByteCount() {
  std::lock_guard<std::mutex> lock(mutex_);
  return rawBytes_;
}

int PanelLine::BrokenFrames() {
  std::lock_guard<std::mutex> lock(mutex_);
  return broken_;
}

bool PanelLine::WaitFor(size_t from, const std::function<bool(const Frame&)>& pred, int timeoutMs, Frame* found) {
  std::unique_lock<std::mutex> lock(mutex_);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  size_t next = from;
  for (;;) {
    for (; next < frames_.size(); next++) {
      if (pred(frames_[next])) {
        if (found) *found = frames_[next];
        return true;
      }
    }
    if (arrived_.wait_until(lock, deadline) == std::cv_status::timeout && next == frames_.size()) return false;
  }
}

bool PanelLine::WaitForCount(size_t count, int timeoutMs) {
  std::unique_lock<std::mutex> lock(mutex_);
  return arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return frames_.size() >= count; });
}

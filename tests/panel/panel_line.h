// The panel's end of the serial line: a pseudo-terminal whose other end Wine maps as
// a COM port. A reader thread takes every frame off the line as it arrives, so the
// plug-in's writes never back up while a test is busy elsewhere.
//
// The line can be unplugged and plugged back: both ends of the pty are closed, and
// later a new pty is put behind the same link, as a USB adapter pulled out and plugged
// in again gives the port back under its old name.
#pragma once
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "wire.h"

class PanelLine {
 public:
  // Makes the pty and points $QB_PORT_DIR/com<port> at it.
  explicit PanelLine(int port = 1);
  ~PanelLine();

  // Closes both ends of the pty (every call on the plug-in's handle fails from then on)
  // and points the link at nothing, so the port cannot be opened until PlugBack.
  void Unplug();
  // A new pty behind the same link, renamed over it; returns when that was, on NowMs().
  double PlugBack();

  void Send(const Bytes& payload, uint8_t sequence = 0);
  void SendRaw(const Bytes& bytes);

  // Every frame received so far, in order.
  std::vector<Frame> Frames();
  size_t FrameCount();
  // Waits (at most timeoutMs) for a frame after index `from` that satisfies pred.
  bool WaitFor(size_t from, const std::function<bool(const Frame&)>& pred, int timeoutMs, Frame* found = nullptr);
  // Waits for `count` more frames after index `from`.
  bool WaitForCount(size_t count, int timeoutMs);
  size_t RawByteCount();
  int BrokenFrames();

 private:
  void Connect();
  void Disconnect();
  void Relink(const std::string& target);
  void ReadLoop();
  int master_ = -1;
  int slave_ = -1;
  std::string link_;
  std::thread reader_;
  bool stop_ = false;
  std::mutex mutex_;
  std::condition_variable arrived_;
  Bytes stream_;
  std::vector<Frame> frames_;
  size_t rawBytes_ = 0;
  int broken_ = 0;
};

// Milliseconds on a steady clock, shared by the line and the tests.
double NowMs();

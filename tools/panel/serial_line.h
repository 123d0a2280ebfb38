// The panel's serial device on Linux: a USB adapter, a real port or a pseudo-terminal,
// opened by path and set to 115200 baud, 8 data bits, no parity, one stop bit, raw.
// When the device fails or disappears the line closes it and tries the path again
// every half second, so that a plugged-back adapter is taken up again by itself.
#pragma once
#include "line.h"

class SerialLine : public Line {
 public:
  explicit SerialLine(std::string path);
  ~SerialLine() override;
  int Read(uint8_t* into, size_t room, int waitMs) override;
  bool Write(const Bytes& bytes) override;
  double NowMs() override;
  std::string Problem() const override { return problem_; }

 private:
  bool Open();
  void Drop(const std::string& what);
  std::string path_;
  int fd_ = -1;
  std::string problem_;
  double nextTryMs_ = 0;
};

// A pseudo-terminal of the panel's own, its other end linked at `link` (the path a Wine
// prefix maps as a COM port): the panel then needs no cable and no relay.
class PtyLine : public Line {
 public:
  explicit PtyLine(std::string link);
  ~PtyLine() override;
  bool Ready() const { return master_ >= 0; }
  int Read(uint8_t* into, size_t room, int waitMs) override;
  bool Write(const Bytes& bytes) override;
  double NowMs() override;
  std::string Problem() const override { return problem_; }

 private:
  std::string link_;
  int master_ = -1;
  int slave_ = -1;  // held open, so the line never hangs up while the player reopens it
  std::string problem_;
};

double MonotonicMs();

// The wire as the panel's loop sees it: bytes in within a wait, bytes out, and a clock.
// The serial device and the tests' fake plug-in both stand behind it.
#pragma once
#include <string>

#include "session.h"
#include "wire.h"

class Line {
 public:
  virtual ~Line() = default;
  // Waits at most waitMs for bytes: their count, 0 after the wait, -1 while the device
  // is gone (the call has still waited).
  virtual int Read(uint8_t* into, size_t room, int waitMs) = 0;
  virtual bool Write(const Bytes& bytes) = 0;
  virtual double NowMs() = 0;
  // Why the device is not there, "" while it is.
  virtual std::string Problem() const { return ""; }
};

// One turn of the panel's loop: waits at most waitMs for the line, feeds the session,
// writes the command it wants sent right away, and notices a quiet line or a device
// that went away or came back.
void Pump(Line& line, Session& session, int waitMs);

// What the board soak reads from the simulated board's lines (run with --trace): the
// plug-in's status frames as the firmware received them, the frames the firmware sent,
// the chip's resets and the board's faults. Each line is read once, as it comes.
#pragma once
#include <map>
#include <string>
#include <vector>

struct BoardWatch {
  // Reads lines[next...] and moves next on; wallMs is now, for the hang check.
  void Read(const std::vector<std::string>& lines, double wallMs);
  // The line was pulled or put back, or the player quit or started: what came before is
  // read first (lines as Read takes them), and the next status frame starts no period.
  void Break(const std::vector<std::string>& lines, double wallMs);
  // Whether the plug-in has sent no status frame for too long, the line being plugged
  // since `pluggedSinceMs`.
  bool Hung(double wallMs, double pluggedSinceMs) const;

  size_t next = 0;
  // Commands the plug-in answers, by letter: a reply came after each one, or two status
  // frames passed without one (unanswered), or the plug-in's own "Q" took the reply's place
  // after the player changed its playlist (displaced). A command in flight when the line
  // went or came is none of these.
  std::map<std::string, int> answered, unanswered;
  int displaced = 0;
  int lateTicks = 0;        // of the unanswered, those whose ticks were held up
  size_t failedAtLine = 0;  // 1 + the line where the first unanswered command was seen, or 0
  std::vector<double> periods;   // between status frames, chip time
  int statusFrames = 0;
  std::map<std::string, int> sent;  // the firmware's frames by letter
  int dumpsSent = 0;
  int portResets = 0;            // at an opening of the port, and the bootloader's exit after one
  std::vector<std::string> failures;

 private:
  void Reset(double t, const std::string& why);
  void Status(double t);
  void Reply(const std::string& letter);
  void Settle(std::map<std::string, int>& tally);
  std::string pending_;         // the letter of the command awaiting its reply, or ""
  double pendingT_ = 0;
  double pendingFromT_ = -1;    // the status frame before it, or -1 after a break
  int statusesSince_ = 0;       // status frames since it went
  bool listChosen_ = false;     // a "Q" was answered since the last break: "L" has a list
  double lastStatusT_ = -1;      // chip time
  bool gap_ = true;
  double lastStatusWallMs_ = -1;
  double lastOpenT_ = -1e9;
  bool poweredOn_ = false;
};

// How long a plugged line may go without a status frame before the soak calls it a hang:
// the plug-in retries a lost port every second and then keeps 2 s of silence for the
// bootloader, so a replug costs about 3.5 s.
constexpr double kHangMs = 8000;

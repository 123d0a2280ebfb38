#include "board_watch.h"

#include <cstdio>
#include <sstream>

namespace {

// The bootloader's exit follows the opening's reset by 1.53 s (measured); a watchdog
// reset much later is the firmware's own and a restart nobody asked for.
constexpr double kBootloaderExitMs = 2500;

}  // namespace

void BoardWatch::Read(const std::vector<std::string>& lines, double wallMs) {
  for (; next < lines.size(); next++) {
    const std::string& line = lines[next];
    std::istringstream in(line);
    std::string kind, rest;
    double t = 0;
    in >> kind >> t;
    std::getline(in >> std::ws, rest);
    if (kind == "rx") {
      // "rx <t> <length> <letter>": a status frame is 92 bytes of "B".
      if (rest != "92 B") continue;
      statusFrames++;
      if (!gap_ && lastStatusT_ >= 0) periods.push_back(t - lastStatusT_);
      gap_ = false;
      lastStatusT_ = t;
      lastStatusWallMs_ = wallMs;
    } else if (kind == "tx") {
      // "tx <t> <length> <letter> <sub>"
      std::istringstream fields(rest);
      std::string length, letter;
      fields >> length >> letter;
      sent[letter]++;
      if (letter == "F") dumpsSent++;
    } else if (kind == "reset") {
      Reset(t, rest);
    } else if (kind == "fault") {
      failures.push_back("board fault: " + line);
    } else if (kind == "halt") {
      failures.push_back("the chip halted: " + line);
    }
  }
}

void BoardWatch::Reset(double t, const std::string& why) {
  if (why == "power on" && !poweredOn_) {
    poweredOn_ = true;
  } else if (why == "port opened") {
    portResets++;
    lastOpenT_ = t;
  } else if (why == "watchdog" && t - lastOpenT_ <= kBootloaderExitMs) {
    // the bootloader handing over to the firmware after the opening's reset
  } else {
    char text[96];
    std::snprintf(text, sizeof text, "the firmware restarted other than at an open: reset at %.1f ms, %s", t,
                  why.c_str());
    failures.push_back(text);
  }
}

void BoardWatch::Break(const std::vector<std::string>& lines, double wallMs) {
  Read(lines, wallMs);
  gap_ = true;
  lastStatusWallMs_ = wallMs;
}

bool BoardWatch::Hung(double wallMs, double pluggedSinceMs) const {
  const double since = lastStatusWallMs_ > pluggedSinceMs ? lastStatusWallMs_ : pluggedSinceMs;
  return wallMs - since > kHangMs;
}

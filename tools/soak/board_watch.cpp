#include "board_watch.h"

#include <cstdio>
#include <sstream>

namespace {

// The bootloader's exit follows the opening's reset by 1.53 s (measured); a watchdog
// reset much later is the firmware's own and a restart nobody asked for.
constexpr double kBootloaderExitMs = 2500;

// Two ticks that kept time, from the status frame before a command to the second after
// it: the plug-in's period here is about 52 ms (Wine's timer), rarely over 65.
constexpr double kTwoTicksOnTimeMs = 160;

// The reply each answered command gets, by the first byte of its payload: "E" and "F" an
// acknowledgement of their own letter, "I" the song's details, "L" a chunk ("D") or an
// acknowledgement, "Q" the list's kind under the letter "L", as the plug-in's own "Q"
// reply after the player changed its playlist. "P", "O" and "S" get none.
bool IsReplyTo(const std::string& command, const std::string& reply) {
  if (command == "L") return reply == "D" || reply == "L";
  if (command == "Q") return reply == "L";
  return reply == command;
}

bool ExpectsReply(const std::string& letter) {
  return letter == "E" || letter == "F" || letter == "I" || letter == "L" || letter == "Q";
}

}  // namespace

// Two status frames after a command with no reply between them: the link's tick for the
// reply has passed, and the panel gives up or asks again. The plug-in answers "I" always
// (the soak asks only of songs it has) and "L" always once a list was chosen, in time
// when its ticks keep time: a tick held up (the machine busy) may read the command one
// tick late, as a real PC may, and the link's retries are there for that. "E", "F" and
// "Q" have refusals of their own (an index the playlist lost, a move that failed, a search
// that found nothing), so theirs are counted, not failed.
void BoardWatch::Status(double t) {
  if (pending_.empty() || ++statusesSince_ < 2) return;
  const bool onTime = pendingFromT_ >= 0 && t - pendingFromT_ <= kTwoTicksOnTimeMs;
  if (!onTime) {
    lateTicks++;
  } else if (pending_ == "I" || (pending_ == "L" && listChosen_)) {
    char text[128];
    std::snprintf(text, sizeof text, "the plug-in never answered \"%s\" sent at %.1f ms, its ticks on time",
                  pending_.c_str(), pendingT_);
    failures.push_back(text);
    if (failedAtLine == 0) failedAtLine = next + 1;
  }
  Settle(unanswered);
}

// An "L" reply that no "Q" or "L" asked for is the plug-in's own "Q" reply: it chose the
// playlist, and it took the place of any reply still to come.
void BoardWatch::Reply(const std::string& letter) {
  if (pending_.empty() || pending_ == "Q") listChosen_ = listChosen_ || letter == "L";
  if (pending_.empty()) return;
  if (IsReplyTo(pending_, letter)) {
    Settle(answered);
  } else if (letter == "L") {
    displaced++;
    pending_.clear();
  }
}

void BoardWatch::Settle(std::map<std::string, int>& tally) {
  tally[pending_]++;
  pending_.clear();
}

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
      if (rest != "92 B") {
        Reply(rest.substr(rest.find(' ') + 1));
        continue;
      }
      Status(t);
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
      if (ExpectsReply(letter)) {
        pending_ = letter;
        pendingT_ = t;
        pendingFromT_ = gap_ ? -1 : lastStatusT_;
        statusesSince_ = 0;
      }
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
  pending_.clear();
  listChosen_ = false;  // a player started again has no list
  lastStatusWallMs_ = wallMs;
}

bool BoardWatch::Hung(double wallMs, double pluggedSinceMs) const {
  const double since = lastStatusWallMs_ > pluggedSinceMs ? lastStatusWallMs_ : pluggedSinceMs;
  return wallMs - since > kHangMs;
}

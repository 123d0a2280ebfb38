#include "board_lines.h"

#include <cstdlib>
#include <sstream>
#include <vector>

namespace {

// "n/a" (or anything but a number) is -1.
double Number(const std::string& word) {
  if (word.empty() || word.find_first_not_of("0123456789.%") != std::string::npos) return -1;
  return std::atof(word.c_str());
}

// The first n UTF-8 characters of text from `at`; npos when there are fewer.
size_t SkipCharacters(const std::string& text, size_t at, int n) {
  for (int i = 0; i < n; i++) {
    if (at >= text.size()) return std::string::npos;
    at++;
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) at++;
  }
  return at;
}

bool Starts(const std::string& line, const std::string& prefix) { return line.compare(0, prefix.size(), prefix) == 0; }

}  // namespace

bool ParseStatsLine(const std::string& line, BoardStats* s) {
  std::istringstream in(line);
  std::vector<std::string> w;
  for (std::string word; in >> word;) w.push_back(word);
  // stats status N commands N delay-ms median X p99 X max X over15 N key-to-command-ms
  // median X max X overruns N asleep X% stack N resets N bus-busy X% faults flash N overrun N
  // display N backlight N bus N eeprom N line N
  const char* shape[] = {"stats",   "status",  nullptr, "commands", nullptr,   "delay-ms", "median",  nullptr,
                         "p99",     nullptr,   "max",   nullptr,    "over15",  nullptr,    "key-to-command-ms",
                         "median",  nullptr,   "max",   nullptr,    "overruns", nullptr,   "asleep",  nullptr,
                         "stack",   nullptr,   "resets", nullptr,   "bus-busy", nullptr,  "faults",  "flash",
                         nullptr,   "overrun", nullptr, "display",  nullptr,   "backlight", nullptr, "bus",
                         nullptr,   "eeprom",  nullptr, "line",     nullptr};
  constexpr size_t kWords = sizeof shape / sizeof shape[0];
  if (w.size() != kWords) return false;
  for (size_t i = 0; i < kWords; i++) {
    if (shape[i] != nullptr && w[i] != shape[i]) return false;
  }
  s->statusFrames = static_cast<int>(Number(w[2]));
  s->commands = static_cast<int>(Number(w[4]));
  s->delayMedianMs = Number(w[7]);
  s->delayP99Ms = Number(w[9]);
  s->delayMaxMs = Number(w[11]);
  s->delaysOver15 = static_cast<int>(Number(w[13]));
  s->keyToCommandMedianMs = Number(w[16]);
  s->keyToCommandMaxMs = Number(w[18]);
  s->overruns = static_cast<int>(Number(w[20]));
  s->asleepPercent = Number(w[22]);
  s->stackBytes = static_cast<int>(Number(w[24]));
  s->resets = static_cast<int>(Number(w[26]));
  s->busBusyPercent = Number(w[28]);
  s->flashFaults = static_cast<int>(Number(w[31]));
  s->overrunFaults = static_cast<int>(Number(w[33]));
  s->displayFaults = static_cast<int>(Number(w[35]));
  s->backlightFaults = static_cast<int>(Number(w[37]));
  s->busFaults = static_cast<int>(Number(w[39]));
  s->eepromFaults = static_cast<int>(Number(w[41]));
  s->lineFaults = static_cast<int>(Number(w[43]));
  return true;
}

// display <t> |<16 characters>|<16 characters>| light on|off, or four rows of 20 ('|' may
// be one of the characters)
bool ParseDisplayLine(const std::string& line, BoardDisplay* d) {
  if (!Starts(line, "display ")) return false;
  const size_t open = line.find('|');
  if (open == std::string::npos) return false;
  const struct {
    int columns, rows;
  } sizes[] = {{16, 2}, {20, 4}};
  for (const auto& size : sizes) {
    std::vector<std::string> rows;
    size_t at = open;
    for (int row = 0; row < size.rows && at != std::string::npos; row++) {
      const size_t end = SkipCharacters(line, at + 1, size.columns);
      if (end == std::string::npos || end >= line.size() || line[end] != '|') break;
      rows.push_back(line.substr(at + 1, end - at - 1));
      at = end;
    }
    if (static_cast<int>(rows.size()) != size.rows) continue;
    const std::string tail = line.substr(at);
    if (tail != "| light on" && tail != "| light off") continue;
    d->rows = rows;
    d->row0 = rows[0];
    d->row1 = rows[1];
    d->light = tail == "| light on";
    d->any = true;
    return true;
  }
  return false;
}

#include "board_output.h"

constexpr size_t kRecentLines = 4;

void BoardOutput::Print(const std::string& line) {
  if (to_ != nullptr) {
    std::fprintf(to_, "%s\n", line.c_str());
    std::fflush(to_);
  }
  recent_.push_back(line);
  if (recent_.size() > kRecentLines) recent_.pop_front();
}

std::string Ms(double ms) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", ms);
  return text;
}

std::string DisplayLine(const Screen& s, double atMs) {
  std::string line = "display " + Ms(atMs) + " |";
  for (int row = 0; row < s.size.rows; row++) line += s.RowText(row) + "|";
  return line + " light " + (s.light ? "on" : "off");
}

namespace {

// A payload byte as a letter; one that is not printable as 0xNN, none as "-".
std::string Letter(int byte) {
  if (byte < 0) return "-";
  if (byte > 0x20 && byte < 0x7F) return std::string(1, static_cast<char>(byte));
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", byte);
  return text;
}

}  // namespace

std::string TraceLine(const char* direction, const MeteredFrame& f, double atMs) {
  std::string line = std::string(direction) + " " + Ms(atMs) + " " + std::to_string(f.length) + " " + Letter(f.first);
  if (direction[0] == 't') line += " " + (f.sub < 0 ? std::string("-") : std::to_string(f.sub));
  return line;
}

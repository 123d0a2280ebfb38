#include "board_faults.h"

#include "board_output.h"

const char* FaultName(FaultKind kind) {
  switch (kind) {
    case FaultKind::Flash:
      return "flash";
    case FaultKind::Overrun:
      return "overrun";
    case FaultKind::Display:
      return "display";
    case FaultKind::Backlight:
      return "backlight";
    case FaultKind::Bus:
      return "bus";
    case FaultKind::Eeprom:
      return "eeprom";
    case FaultKind::Line:
      return "line";
  }
  return "?";
}

void BoardFaults::Note(FaultKind kind, double atMs, const std::string& what) {
  counts_[static_cast<int>(kind)]++;
  out_.Print("fault " + Ms(atMs) + " " + FaultName(kind) + " " + what);
}

int BoardFaults::Total() const {
  int total = 0;
  for (int n : counts_) total += n;
  return total;
}

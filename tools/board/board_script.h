// The board's script language, one command a line:
//   press KEY | hold KEY MS | wait TEXT | sleep SECONDS | snapshot NAME | unplug | plug
//   | reset | reset-in-write N | brownout | stats | quit
// KEY is right, up, down, left or select; TEXT is the rest of the line; NAME is letters,
// digits and '-'. Blank lines and lines beginning with # are nothing.
#pragma once
#include <optional>
#include <string>

#include "panel_keys.h"

enum class StepKind { Press, Hold, Wait, Sleep, Snapshot, Unplug, Plug, Reset, ResetInWrite, BrownOut, Stats, Quit };

struct ScriptStep {
  StepKind kind = StepKind::Quit;
  PanelKey key = PanelKey::None;
  double ms = 0;     // how long a key is down, or a sleep
  std::string text;  // what a wait looks for, or a snapshot's name
  int count = 0;     // which EEPROM byte a reset cuts (1: the next written)
};

constexpr double kPressMs = 150;

// nullopt with *error empty for a blank line or a comment; with *error set for a wrong one.
std::optional<ScriptStep> ParseStep(const std::string& line, std::string* error);

const char* ScriptHelp();

// The board's script language, one command a line:
//   press KEY | hold KEY MS | turn +N|-N [RATE] [pushed] | push [long|MS] | wait TEXT
//   | sleep SECONDS | snapshot NAME | unplug | plug | reset | reset-in-write N | brownout
//   | stats | quit
// KEY is right, up, down, left or select; TEXT is the rest of the line; NAME is letters,
// digits and '-'. Blank lines and lines beginning with # are nothing.
#pragma once
#include <optional>
#include <string>

#include "panel_keys.h"

enum class StepKind {
  Press,
  Hold,
  Turn,
  Push,
  Wait,
  Sleep,
  Snapshot,
  Unplug,
  Plug,
  Reset,
  ResetInWrite,
  BrownOut,
  Stats,
  Quit
};

struct ScriptStep {
  StepKind kind = StepKind::Quit;
  PanelKey key = PanelKey::None;
  double ms = 0;     // how long a key or the switch is down, or a sleep
  int detents = 0;   // a turn's, clockwise when positive
  double rate = 0;   // a turn's detents a second
  bool pushed = false;  // a turn with the switch held down through it
  std::string text;  // what a wait looks for, or a snapshot's name
  int count = 0;     // which EEPROM byte a reset cuts (1: the next written)
};

constexpr double kPressMs = 150;
constexpr double kLongPushMs = 1000;
constexpr double kTurnRate = 10;       // detents a second, a steady hand
constexpr double kFastestTurn = 200;   // ten turns a second of a 20-detent encoder
constexpr int kMostDetents = 10000;

// nullopt with *error empty for a blank line or a comment; with *error set for a wrong one.
std::optional<ScriptStep> ParseStep(const std::string& line, std::string* error);

const char* ScriptHelp();

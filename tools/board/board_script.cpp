#include "board_script.h"

#include <cstdlib>
#include <sstream>

#include "panel_snapshot.h"

namespace {

// A number made of digits and at most one point; strtod alone would also take "1e9",
// "inf" and "0x10".
bool ParseAmount(const std::string& word, double* value) {
  if (word.empty() || word.size() > 12 || word.find_first_not_of("0123456789.") != std::string::npos) return false;
  if (word.find('.') != word.rfind('.') || word == ".") return false;
  *value = std::strtod(word.c_str(), nullptr);
  return true;
}

std::string RestOf(std::istringstream& in) {
  std::string rest;
  std::getline(in >> std::ws, rest);
  return rest;
}

std::optional<ScriptStep> Fail(std::string* error, const std::string& why) {
  *error = why;
  return std::nullopt;
}

std::optional<ScriptStep> ParseKeyStep(StepKind kind, std::istringstream& in, std::string* error) {
  ScriptStep step;
  step.kind = kind;
  std::string name, ms, extra;
  in >> name;
  if (!KeyFromName(name, &step.key)) return Fail(error, "a key is right, up, down, left or select: " + name);
  step.ms = kPressMs;
  if (kind == StepKind::Hold && !(in >> ms && ParseAmount(ms, &step.ms) && step.ms > 0)) {
    return Fail(error, "hold KEY MS: MS is a positive number of milliseconds");
  }
  if (in >> extra) return Fail(error, "unexpected " + extra);
  return step;
}

// turn +N [RATE] [pushed], turn -N [RATE] [pushed]
std::optional<ScriptStep> ParseTurn(std::istringstream& in, std::string* error) {
  ScriptStep step;
  step.kind = StepKind::Turn;
  std::string count, rate, extra;
  in >> count;
  double n = 0;
  const bool negative = !count.empty() && count[0] == '-';
  const std::string digits = count.empty() || (count[0] != '+' && count[0] != '-') ? count : count.substr(1);
  if (!ParseAmount(digits, &n) || n < 1 || n > kMostDetents || n != static_cast<int>(n)) {
    return Fail(error, "turn +N|-N [RATE]: N is a whole number of detents, 1 to 10000: " + count);
  }
  step.detents = negative ? -static_cast<int>(n) : static_cast<int>(n);
  step.rate = kTurnRate;
  if (in >> rate && rate != "pushed" && !(ParseAmount(rate, &step.rate) && step.rate > 0 && step.rate <= kFastestTurn)) {
    return Fail(error, "turn +N|-N [RATE] [pushed]: RATE is detents a second, at most 200: " + rate);
  }
  step.pushed = rate == "pushed" || (in >> extra && extra == "pushed");
  if (!extra.empty() && extra != "pushed") return Fail(error, "unexpected " + extra);
  if (in >> extra) return Fail(error, "unexpected " + extra);
  return step;
}

// push, push long, push MS
std::optional<ScriptStep> ParsePush(std::istringstream& in, std::string* error) {
  ScriptStep step;
  step.kind = StepKind::Push;
  step.ms = kPressMs;
  std::string how, extra;
  if (in >> how) {
    if (how == "long") {
      step.ms = kLongPushMs;
    } else if (!(ParseAmount(how, &step.ms) && step.ms > 0)) {
      return Fail(error, "push [long|MS]: MS is a positive number of milliseconds: " + how);
    }
  }
  if (in >> extra) return Fail(error, "unexpected " + extra);
  return step;
}

}  // namespace

std::optional<ScriptStep> ParseStep(const std::string& line, std::string* error) {
  error->clear();
  std::istringstream in(line);
  std::string word;
  if (!(in >> word) || word[0] == '#') return std::nullopt;
  ScriptStep step;
  if (word == "press") return ParseKeyStep(StepKind::Press, in, error);
  if (word == "hold") return ParseKeyStep(StepKind::Hold, in, error);
  if (word == "turn") return ParseTurn(in, error);
  if (word == "push") return ParsePush(in, error);
  if (word == "wait") {
    step.kind = StepKind::Wait;
    step.text = RestOf(in);
    if (!step.text.empty() && step.text.back() == '\r') step.text.pop_back();
    if (step.text.empty()) return Fail(error, "wait TEXT: the text to wait for is missing");
    return step;
  }
  if (word == "snapshot") {
    step.kind = StepKind::Snapshot;
    step.text = RestOf(in);
    if (!step.text.empty() && step.text.back() == '\r') step.text.pop_back();
    if (!SnapshotName(step.text)) return Fail(error, "snapshot NAME: a name of letters, digits and '-': " + step.text);
    return step;
  }
  if (word == "sleep") {
    std::string amount = RestOf(in);
    if (!ParseAmount(amount, &step.ms)) return Fail(error, "sleep SECONDS: not a number of seconds: " + amount);
    step.kind = StepKind::Sleep;
    step.ms *= 1000;
    return step;
  }
  if (word == "reset-in-write") {
    const std::string n = RestOf(in);
    double count = 0;
    if (!ParseAmount(n, &count) || count < 1 || count > 1024 || count != static_cast<int>(count)) {
      return Fail(error, "reset-in-write N: N is a whole number from 1: " + n);
    }
    step.kind = StepKind::ResetInWrite;
    step.count = static_cast<int>(count);
    return step;
  }
  const struct {
    const char* word;
    StepKind kind;
  } plain[] = {{"unplug", StepKind::Unplug}, {"plug", StepKind::Plug},         {"reset", StepKind::Reset},
               {"brownout", StepKind::BrownOut}, {"stats", StepKind::Stats}, {"quit", StepKind::Quit}};
  for (const auto& p : plain) {
    if (word != p.word) continue;
    if (!RestOf(in).empty()) return Fail(error, word + " takes nothing after it");
    step.kind = p.kind;
    return step;
  }
  return Fail(error, "unknown command " + word);
}

const char* ScriptHelp() {
  return "script commands, one a line (# starts a comment):\n"
         "  press KEY        KEY down for 150 ms (right, up, down, left, select)\n"
         "  hold KEY MS      KEY down for MS milliseconds\n"
         "  turn +N [RATE] [pushed]\n"
         "                   the encoder N detents clockwise (-N: anticlockwise) at RATE\n"
         "                   detents a second (default 10, at most 200); pushed: with its\n"
         "                   switch held down through the turn\n"
         "  push [long|MS]   the encoder's switch closed 150 ms (long: 1000 ms; or MS)\n"
         "  wait TEXT        until a display row holds TEXT (bounded by --timeout)\n"
         "  sleep SECONDS    let the board run (fractions allowed)\n"
         "  snapshot NAME    once the display has rested 10 ms, print its memory and backlight\n"
         "  unplug | plug    take the line away / give a new one behind the same link\n"
         "  reset            a pulse on the reset pin (as a program opening the port gives)\n"
         "  reset-in-write N a reset in the middle of the N-th EEPROM byte written from now\n"
         "  brownout         the supply dips: a stray write where the EEPROM's address points,\n"
         "                   then the brown-out detector's reset\n"
         "  stats            print the figures\n"
         "  quit             print the figures and end (so does the end of the input)\n";
}

// The script language: one command a line, words separated by blanks, the last
// argument taking the rest of the line (so titles may hold blanks); "#" starts a
// comment line. An ENTRY is an index or a title of the list it names.
#pragma once
#include <string>
#include <vector>

struct ScriptStep {
  int line = 0;
  std::string text;  // the line as written, for the echo
  std::string verb;
  std::vector<std::string> args;
};

struct ScriptError {
  int line;
  std::string message;
};

// Checks every line before anything runs: verbs, argument counts, fixed words, numbers.
std::vector<ScriptStep> ParseScript(const std::string& text, std::vector<ScriptError>* errors);
// The language, one command a line with what it does, for --help and the README.
const char* ScriptHelp();

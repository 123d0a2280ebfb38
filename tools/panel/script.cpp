#include "script.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

namespace {

struct Verb {
  const char* name;
  int least, most;    // argument counts
  const char* words;  // when set: the first argument is one of these (blank-separated)
  bool numbers;       // every argument is a number
};

const Verb kVerbs[] = {
    {"play", 0, 1, nullptr, false},     {"pause", 0, 0, nullptr, false},    {"stop", 0, 0, nullptr, false},
    {"next", 0, 0, nullptr, false},     {"prev", 0, 0, nullptr, false},     {"volume", 1, 1, "up down", false},
    {"shuffle", 1, 1, "on off", false}, {"time", 0, 0, nullptr, false},     {"browse", 0, 1, "root up", false},
    {"enter", 1, 1, nullptr, false},    {"playlist", 0, 0, nullptr, false}, {"search", 1, 1, nullptr, false},
    {"list", 0, 0, nullptr, false},     {"enqueue", 1, 1, nullptr, false},  {"add", 1, 1, nullptr, false},
    {"delete", 1, 1, nullptr, false},   {"move", 2, 2, nullptr, false},     {"save", 0, 0, nullptr, false},
    {"clear", 0, 0, nullptr, false},    {"info", 1, 2, nullptr, false},     {"dump", 1, 2, nullptr, false},
    {"wait", 1, 1, nullptr, true},      {"status", 0, 0, nullptr, false},   {"raw", 1, 250, nullptr, false},
};

const Verb* FindVerb(const std::string& name) {
  for (const Verb& v : kVerbs) {
    if (name == v.name) return &v;
  }
  return nullptr;
}

bool IsWordOf(const std::string& word, const char* words) {
  std::istringstream in(words);
  std::string w;
  while (in >> w) {
    if (w == word) return true;
  }
  return false;
}

bool IsNumber(const std::string& text) {
  char* end = nullptr;
  std::strtod(text.c_str(), &end);
  return !text.empty() && *end == 0;
}

bool IsHexByte(const std::string& text) {
  return text.size() >= 1 && text.size() <= 2 && std::isxdigit(static_cast<unsigned char>(text[0])) &&
         std::isxdigit(static_cast<unsigned char>(text.back()));
}

// Words, the last of which takes the rest of the line once `most` is reached.
std::vector<std::string> Split(const std::string& rest, int most) {
  std::vector<std::string> args;
  size_t at = 0;
  while (at < rest.size()) {
    while (at < rest.size() && std::isspace(static_cast<unsigned char>(rest[at]))) at++;
    if (at == rest.size()) break;
    size_t end = at;
    if (static_cast<int>(args.size()) + 1 == most) {
      end = rest.find_last_not_of(" \t\r") + 1;
    } else {
      while (end < rest.size() && !std::isspace(static_cast<unsigned char>(rest[end]))) end++;
    }
    args.push_back(rest.substr(at, end - at));
    at = end;
  }
  return args;
}

std::string Check(const Verb& v, const ScriptStep& step) {
  const int n = static_cast<int>(step.args.size());
  if (n < v.least || n > v.most) return "wrong number of arguments to " + step.verb;
  if (v.words && n > 0 && !IsWordOf(step.args[0], v.words)) {
    return step.verb + " takes one of: " + v.words;
  }
  if (v.numbers && n > 0 && !IsNumber(step.args[0])) return step.verb + " needs a number";
  if (step.verb == "raw") {
    for (const std::string& a : step.args) {
      if (!IsHexByte(a)) return "raw takes hexadecimal bytes, such as 50 00 07";
    }
  }
  return "";
}

}  // namespace

std::vector<ScriptStep> ParseScript(const std::string& text, std::vector<ScriptError>* errors) {
  std::vector<ScriptStep> steps;
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); number++) {
    const size_t start = line.find_first_not_of(" \t\r");
    if (start == std::string::npos || line[start] == '#') continue;
    ScriptStep step;
    step.line = number;
    step.text = line.substr(start, line.find_last_not_of(" \t\r") + 1 - start);
    const size_t verbEnd = step.text.find_first_of(" \t");
    step.verb = step.text.substr(0, verbEnd);
    const Verb* verb = FindVerb(step.verb);
    if (!verb) {
      errors->push_back({number, "unknown command \"" + step.verb + "\""});
      continue;
    }
    if (verbEnd != std::string::npos) step.args = Split(step.text.substr(verbEnd), verb->most);
    if (std::string why = Check(*verb, step); !why.empty()) {
      errors->push_back({number, why});
      continue;
    }
    steps.push_back(std::move(step));
  }
  return steps;
}

const char* ScriptHelp() {
  return "Script commands (one a line; # starts a comment; ENTRY is an index or a title):\n"
         "  play | pause | stop | next | prev   transport keys\n"
         "  play ENTRY              play an entry of the list shown: jump in the playlist,\n"
         "                          play a browsed song or a search result\n"
         "  volume up|down          one volume step\n"
         "  shuffle on|off          shuffle\n"
         "  time                    switch between elapsed and remaining time\n"
         "  browse [root|up]        choose the folder list: this folder, the music folder,\n"
         "                          or one folder up\n"
         "  enter ENTRY             open a folder of the folder list\n"
         "  playlist                choose the playlist\n"
         "  search TEXT             search the media library (at most 19 characters)\n"
         "  list                    transfer the list shown again and print it\n"
         "  enqueue ENTRY           append the songs of a folder of the folder list\n"
         "  add ENTRY               add a browsed song or folder, or a search result\n"
         "  delete ENTRY            delete a playlist entry\n"
         "  move ENTRY POSITION     move a playlist entry\n"
         "  save | clear            save the playlist as .m3u | clear it\n"
         "  info [playlist|browsed|search] ENTRY   a song's details\n"
         "  dump [playlist|browsed] ENTRY          move a song into the dump folder\n"
         "  wait SECONDS            watch the line\n"
         "  status                  print the status now\n"
         "  raw HEX...              send a payload as given, e.g. raw 50 00 06\n"
         "A chosen list is transferred and printed by itself. Every status change is\n"
         "printed as it comes.\n";
}

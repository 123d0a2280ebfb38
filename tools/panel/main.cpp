// quillbox-panel: the panel's side of the serial line, as a full-screen terminal panel
// or as a script runner.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "interactive.h"
#include "script.h"
#include "script_runner.h"
#include "serial_line.h"

namespace {

struct Options {
  std::string port;
  std::string ptyLink;
  std::string script;  // "-" for standard input
  double timeoutS = 30;
};

void Usage(std::FILE* to) {
  std::fprintf(to,
               "usage: quillbox-panel (--port DEVICE | --pty LINK) [--script FILE] [--timeout SECONDS]\n"
               "\n"
               "Plays the remote-control panel of the Quillbox plug-in on a serial line\n"
               "(115200 baud, 8N1, raw).\n"
               "  --port DEVICE     a serial device: /dev/ttyUSB0 with a null-modem cable to the\n"
               "                    PC running the player, or one end of a pseudo-terminal pair\n"
               "  --pty LINK        make a pseudo-terminal and link its other end at LINK (the\n"
               "                    path a Wine prefix maps as COM1, say)\n"
               "  --script FILE     run the commands in FILE (\"-\" or a standard input that is\n"
               "                    not a terminal: read them there) and print what happens\n"
               "  --timeout SECONDS the longest one script command may wait (default 30)\n"
               "Without a script the panel is a full-screen terminal program: press ? for its keys.\n"
               "A script's exit status is 0 when every command was done, 1 otherwise, 2 when\n"
               "the script or the options are wrong.\n\n%s",
               ScriptHelp());
}

bool ParseOptions(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; i++) {
    const std::string a = argv[i];
    const bool hasValue = i + 1 < argc;
    if (a == "--help" || a == "-h") {
      Usage(stdout);
      std::exit(0);
    } else if (a == "--port" && hasValue) {
      o->port = argv[++i];
    } else if (a == "--pty" && hasValue) {
      o->ptyLink = argv[++i];
    } else if (a == "--script" && hasValue) {
      o->script = argv[++i];
    } else if (a == "--timeout" && hasValue) {
      o->timeoutS = std::atof(argv[++i]);
    } else {
      std::fprintf(stderr, "quillbox-panel: unexpected argument %s\n", a.c_str());
      return false;
    }
  }
  if (o->port.empty() == o->ptyLink.empty()) {
    std::fprintf(stderr, "quillbox-panel: give one of --port or --pty\n");
    return false;
  }
  if (o->script.empty() && !isatty(STDIN_FILENO)) o->script = "-";
  return o->timeoutS > 0;
}

bool ReadScript(const std::string& name, std::string* text) {
  std::stringstream all;
  if (name == "-") {
    all << std::cin.rdbuf();
  } else {
    std::ifstream in(name);
    if (!in) return false;
    all << in.rdbuf();
  }
  *text = all.str();
  return true;
}

int RunScriptFile(const Options& o, Line& line) {
  std::string text;
  if (!ReadScript(o.script, &text)) {
    std::fprintf(stderr, "quillbox-panel: cannot read %s\n", o.script.c_str());
    return 2;
  }
  std::vector<ScriptError> errors;
  const auto steps = ParseScript(text, &errors);
  for (const ScriptError& e : errors) std::fprintf(stderr, "%s:%d: %s\n", o.script.c_str(), e.line, e.message.c_str());
  if (!errors.empty()) return 2;
  ScriptOptions options;
  options.stepTimeoutMs = o.timeoutS * 1000;
  return RunScript(steps, line, stdout, options);
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!ParseOptions(argc, argv, &o)) {
    std::fprintf(stderr, "usage: quillbox-panel (--port DEVICE | --pty LINK) [--script FILE]; see --help\n");
    return 2;
  }
  std::unique_ptr<Line> line;
  if (!o.ptyLink.empty()) {
    auto pty = std::make_unique<PtyLine>(o.ptyLink);
    if (!pty->Problem().empty()) {
      std::fprintf(stderr, "quillbox-panel: %s\n", pty->Problem().c_str());
      return 2;
    }
    line = std::move(pty);
  } else {
    line = std::make_unique<SerialLine>(o.port);
    // A device that is not there yet is waited for; one that can never be a line is not.
    const std::string problem = line->Problem();
    if (problem.find("not a serial device") != std::string::npos) {
      std::fprintf(stderr, "quillbox-panel: %s\n", problem.c_str());
      return 2;
    }
  }
  if (!o.script.empty()) return RunScriptFile(o, *line);
  return RunInteractive(*line, o.port.empty() ? o.ptyLink : o.port);
}

// Runs a parsed script against a line and prints, as text, every status change, every
// list transferred and every answer, so that tests and a demo tour can read them.
#pragma once
#include <cstdio>
#include <vector>

#include "line.h"
#include "script.h"

struct ScriptOptions {
  double stepTimeoutMs = 30000;  // the longest a step may wait for the line
};

// 0 when every step was done; 1 when a step was refused or timed out (the script goes on).
int RunScript(const std::vector<ScriptStep>& steps, Line& line, std::FILE* out, const ScriptOptions& options = {});

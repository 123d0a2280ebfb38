// The "host" line written for every message the plug-in sends to the player's windows.
#pragma once
#include <cstdint>

#include "output_line.h"

void SetHostLog(bool on);  // the benchmark switches the lines off

// details holds the decoded fields, each already preceded by its TAB.
void LogHostMessage(const char* window, uint32_t message, uintptr_t wParam, intptr_t lParam,
                    intptr_t result, const TextLine& details);

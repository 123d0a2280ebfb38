// The full-screen panel: keys in, commands out, the screen redrawn as the line speaks.
#pragma once
#include <string>

#include "line.h"

int RunInteractive(Line& line, const std::string& deviceName);

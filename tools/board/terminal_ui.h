// The board in a terminal: the display in a box (bright with the backlight on, dim
// with it off), a line of the wire's figures, the latest events, and the keys.
#pragma once
#include <cstdio>
#include <string>

#include "board.h"

// Runs until `q`; the terminal is given back as it was, also on a signal.
int RunTerminal(Board& board, BoardOutput& out, std::FILE* screen, const std::string& link);

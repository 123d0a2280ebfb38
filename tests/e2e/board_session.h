// The panel firmware on the simulated board, against the real DLL in the emulated player:
// the board on a port beyond COM3, as a PC numbers a USB board, linked where the Wine
// session maps that port. The firmware is the AVR build's, or the ELF that QB_PANEL_ELF
// in the environment names (the Arduino-style build's: tests/e2e/CMakeLists.txt).
#pragma once
#include <string>
#include <vector>

#include "board_process.h"
#include "plugin_session.h"

constexpr int kBoardPort = 5;

struct BoardSession {
  PluginSession plugin{kBoardPort};
  BoardProcess board;

  // Installs and launches the player with the model, puts the board behind the port and
  // starts the plug-in (Configure, then Start: the port is opened twice, and the board
  // reset each time). Returns init's answer line.
  std::string Start(const Model& model, const std::vector<std::string>& boardArgs = {});
};

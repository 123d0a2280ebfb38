// One emulated player with the real DLL loaded and started, and the panel on the other
// end of COM1.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "panel_line.h"
#include "player_process.h"

struct PluginSession {
  PanelLine line{1};
  PlayerProcess player;

  // Starts the player, applies the model commands, loads the DLL and runs init;
  // returns init's answer line ("init\t0" when it started).
  std::string Start(const std::vector<std::vector<std::string>>& model = {});
  // The next status frame that satisfies pred, within timeoutMs.
  bool NextStatus(const std::function<bool(const Status&)>& pred, int timeoutMs, Status* found = nullptr);
  void Set(const std::vector<std::string>& command);  // a model command that must answer ok
};

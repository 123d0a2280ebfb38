#include "board_session.h"

#include <cstdlib>

std::string BoardSession::Start(const Model& model, const std::vector<std::string>& boardArgs) {
  plugin.Install();
  plugin.Launch(model);
  const std::string link = std::string(std::getenv("QB_PORT_DIR")) + "/com" + std::to_string(kBoardPort);
  const char* chosen = std::getenv("QB_PANEL_ELF");
  const char* elf = chosen != nullptr && *chosen != '\0' ? chosen : QB_PANEL_ELF;
  if (!board.Start(elf, link, boardArgs)) return "the board did not take the port";
  return plugin.Init();
}

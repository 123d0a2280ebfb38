#include "board_session.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace {

std::string Link() { return std::string(std::getenv("QB_PORT_DIR")) + "/com" + std::to_string(kBoardPort); }

// Waits (bounded) until the board has put its own pty behind the port.
bool WaitForLinkChange(const std::string& before) {
  std::error_code e;
  for (double until = NowMs() + 5000; NowMs() < until; usleep(20 * 1000)) {
    const std::string now = std::filesystem::read_symlink(Link(), e).string();
    if (!now.empty() && now != before) return true;
  }
  return false;
}

}  // namespace

std::string BoardSession::Start(const Model& model, const std::vector<std::string>& boardArgs) {
  plugin.Install();
  plugin.Launch(model);
  std::error_code e;
  const std::string before = std::filesystem::read_symlink(Link(), e).string();
  board.Start(QB_PANEL_ELF, Link(), boardArgs);
  if (!WaitForLinkChange(before)) return "the board did not take the port";
  return plugin.Init();
}

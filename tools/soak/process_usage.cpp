#include "process_usage.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

Usage ReadUsage(const PlayerProcess& player) {
  Usage u;
  if (player.Pid() <= 0) return u;
  const std::string proc = "/proc/" + std::to_string(player.Pid());
  std::error_code error;
  int64_t files = 0;
  for (auto it = std::filesystem::directory_iterator(proc + "/fd", error);
       !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
    files++;
  }
  if (!error) u.files = files;
  std::ifstream status(proc + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("Threads:", 0) == 0) u.threads = std::strtoll(line.c_str() + 8, nullptr, 10);
    if (line.rfind("VmRSS:", 0) == 0) u.memory = std::strtoll(line.c_str() + 6, nullptr, 10) * 1024;
  }
  return u;
}

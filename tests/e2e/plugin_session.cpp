#include "plugin_session.h"

#include <gtest/gtest.h>

std::string PluginSession::Start(const std::vector<std::vector<std::string>>& model) {
  player.Start();
  for (const auto& command : model) Set(command);
  EXPECT_EQ(player.Command({"load"}).rfind("loaded", 0), 0u);
  return player.Command({"init"}, 20000);
}

void PluginSession::Set(const std::vector<std::string>& command) {
  const std::string answer = player.Command(command);
  EXPECT_EQ(answer.rfind("ok", 0), 0u) << command[0] << ": " << answer;
}

bool PluginSession::NextStatus(const std::function<bool(const Status&)>& pred, int timeoutMs, Status* found) {
  const size_t from = line.FrameCount();
  Frame frame;
  const bool ok = line.WaitFor(
      from,
      [&](const Frame& f) {
        auto status = DecodeStatus(f.payload);
        return status && pred(*status);
      },
      timeoutMs, &frame);
  if (ok && found) *found = *DecodeStatus(frame.payload);
  return ok;
}

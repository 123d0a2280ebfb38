#include "fake_plugin_line.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

constexpr double kWindowMs = 15;
constexpr double kRestMs = 35;

Bytes Ack(const Bytes& command, size_t length, uint8_t status) {
  Bytes reply(command.begin(), command.begin() + static_cast<long>(std::min(length, command.size())));
  reply.resize(length, 0);
  reply[2] = status;
  return reply;
}

}  // namespace

int FakePluginLine::Read(uint8_t* into, size_t room, int waitMs) {
  if (!problem.empty()) {
    now += waitMs;
    return -1;
  }
  const double until = now + waitMs;
  while (toPanel_.empty() && !silent) {
    const double next = windowEnd_ >= 0 ? windowEnd_ : nextTick_;
    if (next > until) break;
    now = std::max(now, next);
    if (windowEnd_ >= 0) {
      CloseWindow();
    } else {
      Tick();
    }
  }
  if (toPanel_.empty()) {
    now = until;
    return 0;
  }
  size_t n = 0;
  for (; n < room && !toPanel_.empty(); n++) {
    into[n] = toPanel_.front();
    toPanel_.pop_front();
  }
  return static_cast<int>(n);
}

void FakePluginLine::Tick() {
  ticks++;
  const Bytes frame = EncodeFrame(plugin.status, static_cast<uint8_t>(ticks));
  toPanel_.insert(toPanel_.end(), frame.begin(), frame.end());
  windowEnd_ = now + kWindowMs;
  tookCommand_ = false;
  // A command that came between windows sits in the port's buffer: this receive takes it.
  if (!inbox_.empty()) {
    late++;
    Take(inbox_.front());
    inbox_.pop_front();
  }
}

void FakePluginLine::CloseWindow() {
  windowEnd_ = -1;
  nextTick_ = now + kRestMs;
  if (tookCommand_) return;
  if (!pending_.empty()) {
    const Bytes frame = EncodeFrame(pending_);
    if (!(pending_[0] == 'D' && std::exchange(plugin.dropNextChunk, false))) {
      toPanel_.insert(toPanel_.end(), frame.begin(), frame.end());
    }
  }
  pending_.clear();
  if (std::exchange(plugin.playlistChanged, false)) Take(Bytes{'Q', 0, 3, 0, 0, 0});
}

bool FakePluginLine::Write(const Bytes& bytes) {
  if (!problem.empty()) return false;
  fromPanel_.insert(fromPanel_.end(), bytes.begin(), bytes.end());
  int broken = 0;
  while (auto frame = TakeFrame(fromPanel_, &broken)) {
    if (windowEnd_ >= 0 && now <= windowEnd_ && !tookCommand_) {
      Take(frame->payload);
    } else {
      inbox_.push_back(frame->payload);
    }
  }
  return true;
}

void FakePluginLine::Take(const Bytes& command) {
  tookCommand_ = true;
  plugin.commands.push_back({command, ticks});
  Bytes reply = Answer(command);
  if (!reply.empty()) pending_ = reply;
}

Bytes FakePluginLine::NextChunk() {
  const auto& list = plugin.lists[plugin.active];
  Bytes chunk(244, 0);
  chunk[0] = 'D';
  size_t used = 0;
  while (used < 200 && plugin.cursor < list.size()) {
    const std::string title = list[plugin.cursor++].substr(0, 39);
    std::memcpy(&chunk[4 + used], title.data(), title.size());
    used += title.size() + 1;
    chunk[3] = static_cast<uint8_t>(used);
  }
  return chunk;
}

Bytes FakePluginLine::Answer(const Bytes& c) {
  const uint8_t sub = c.size() > 2 ? c[2] : 0;
  switch (c[0]) {
    case 'Q': {
      if (sub <= 4) plugin.active = sub == 3 ? 0 : sub == 4 ? 2 : 1;  // 5 and above change nothing
      Bytes reply = Ack(c, 6, 5);  // bytes 1, 4 and 5 come back, as the plug-in's do
      reply[0] = 'L';
      reply[3] = plugin.active < 0 ? 0xFF : static_cast<uint8_t>(plugin.active);
      return reply;
    }
    case 'L':
      if (sub == 6) {
        plugin.cursor = 0;
        return Ack(c, 6, 1);
      }
      if (sub != 0 || plugin.active < 0) return {};
      if (plugin.lists[plugin.active].empty() || plugin.cursor == plugin.lists[plugin.active].size())
        return Ack(c, 6, 3);
      return NextChunk();
    case 'E': return Ack(c, 10, 6);
    case 'F': return Ack(c, 6, 2);
    case 'I': {
      Bytes info = Ack(c, 100, sub);
      const Bytes fields = {4, 5, 128, 20, 5, 'm', 'p', '3'};
      std::copy(fields.begin(), fields.end(), info.begin() + 5);
      std::memcpy(&info[40], "Artist", 6);
      std::memcpy(&info[70], "Song", 4);
      return info;
    }
  }
  return {};
}

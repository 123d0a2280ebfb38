#include "list_bench.h"

#include <functional>
#include <string>
#include <vector>

#include "bench_setup.h"
#include "tick_figures.h"

namespace {

constexpr int kStatusWaitMs = 1000;
constexpr int kReplyWaitMs = 5000;  // "Q" 3 sends a thousand host messages in one tick
constexpr int kMaxChunks = 500;     // a chunk holds at least one of at most 500 titles
constexpr uint8_t kAckRestart = 1;
constexpr uint8_t kAckEnd = 3;
constexpr uint8_t kSelectStatus = 5;

bool IsAck(const Frame& f, uint8_t status) {
  return f.payload.size() == 6 && f.payload[0] == 'L' && f.payload[2] == status;
}
bool IsChunk(const Frame& f) { return f.payload.size() == 244 && f.payload[0] == 'D'; }
bool IsSelectReply(const Frame& f, uint8_t kind) { return IsAck(f, kSelectStatus) && f.payload[3] == kind; }

// Titles in a chunk: one NUL ends each within its used length (byte 3).
int TitlesIn(const Frame& chunk) {
  int titles = 0;
  const size_t used = chunk.payload[3];
  for (size_t i = 4; i < 4 + used && i < chunk.payload.size(); i++) titles += chunk.payload[i] == 0;
  return titles;
}

struct Exchange {
  bool ok = false;
  Frame status;  // the status frame the command answered
  Frame reply;
};

// Sends `command` as soon as the next status frame is in, and waits for its reply.
Exchange SendAfterStatus(PanelLine& line, const Bytes& command, const std::function<bool(const Frame&)>& isReply) {
  Exchange e;
  const size_t from = line.FrameCount();
  Frame status;
  if (!line.WaitFor(from, IsStatus, kStatusWaitMs, &status)) return e;
  line.Send(command);
  e.status = status;
  e.ok = line.WaitFor(
      from, [&](const Frame& f) { return f.atMs >= status.atMs && !IsStatus(f) && isReply(f); }, kReplyWaitMs,
      &e.reply);
  return e;
}

bool StatusWithLength(PanelLine& line, size_t from, int length, Frame* found) {
  return line.WaitFor(
      from,
      [&](const Frame& f) {
        const auto status = DecodeStatus(f.payload);
        return status && status->length == length;
      },
      2000, found);
}

// One round: a playlist of 400 (seen on the line, then a few idle ticks), then 1000,
// which the next tick trims to 500 before its status frame. Returns how much longer
// that tick took than the idle ticks just before it.
std::optional<double> TrimmingExtraMs(PanelLine& line, PlayerProcess& player) {
  constexpr int kBaseline = 4;
  const std::string pattern = kTrackPattern;
  size_t from = line.FrameCount();
  if (player.Command({"playlist", "fill", "400", pattern}).rfind("ok", 0) != 0) return std::nullopt;
  if (!StatusWithLength(line, from, 400, nullptr)) return std::nullopt;
  line.WaitForCount(line.FrameCount() + kBaseline + 1, 2000);
  from = line.FrameCount();
  if (player.Command({"playlist", "fill", "1000", pattern}).rfind("ok", 0) != 0) return std::nullopt;
  Frame trimmed;
  if (!StatusWithLength(line, from, kPlaylistEntries, &trimmed)) return std::nullopt;
  const auto frames = line.Frames();
  const size_t at = IndexOf(frames, from, trimmed);
  const double period = TickBefore(frames, at + 1);
  const double idle = Median(PeriodsBefore(frames, at, kBaseline));
  // Trimming marks the playlist changed: let the ticks that follow up on it pass.
  line.WaitForCount(line.FrameCount() + 8, 3000);
  return period - idle;
}

// The transfer's ticks in their two kinds: a tick that sent a reply after its status
// frame was idle; the others took a command.
void SplitTicks(const std::vector<Frame>& frames, const Frame& first, const Frame& last, Transfer* t) {
  std::vector<double> commandTicks, replyTicks;
  const size_t end = IndexOf(frames, 0, last);
  size_t tick = IndexOf(frames, 0, first);
  for (size_t i = tick + 1; i <= end && i < frames.size(); i++) {
    if (!IsStatus(frames[i])) continue;
    const bool replied = i > tick + 1;
    (replied ? replyTicks : commandTicks).push_back(frames[i].atMs - frames[tick].atMs);
    tick = i;
  }
  t->commandTickMs = Median(commandTicks);
  t->replyTickMs = Median(replyTicks);
}

}  // namespace

std::optional<double> MeasureMessageCost(PanelLine& line, PlayerProcess& player, int rounds) {
  // Each trimmed entry is one message; the length is read once more after trimming.
  constexpr int kExtraMessages = 1000 - kPlaylistEntries + 1;
  std::vector<double> costs;
  for (int i = 0; i < rounds; i++) {
    const auto extra = TrimmingExtraMs(line, player);
    if (!extra) return std::nullopt;
    costs.push_back(*extra / kExtraMessages);
  }
  return Median(costs);
}

std::optional<double> MeasureSelect(PanelLine& line, uint8_t sub, uint8_t kind, int rounds) {
  std::vector<double> ticks;
  for (int i = 0; i < rounds; i++) {
    const size_t from = line.FrameCount();
    const auto isReply = [&](const Frame& f) { return IsSelectReply(f, kind); };
    const Exchange e = SendAfterStatus(line, {'Q', 0, sub, 0, 0, 0}, isReply);
    if (!e.ok) return std::nullopt;
    const auto frames = line.Frames();
    ticks.push_back(TickBefore(frames, IndexOf(frames, from, e.reply)));
  }
  return Median(ticks);
}

std::optional<Transfer> MeasureTransfer(PanelLine& line) {
  Transfer t;
  const auto isRestart = [](const Frame& f) { return IsAck(f, kAckRestart); };
  const Exchange restart = SendAfterStatus(line, {'L', 0, 6, 0, 0, 0}, isRestart);
  if (!restart.ok) return std::nullopt;
  t.exchanges = 1;
  for (;;) {
    const auto isNext = [](const Frame& f) { return IsChunk(f) || IsAck(f, kAckEnd); };
    const Exchange next = SendAfterStatus(line, {'L', 0, 0, 0, 0, 0}, isNext);
    if (!next.ok || t.chunks > kMaxChunks) return std::nullopt;
    t.exchanges++;
    if (!IsChunk(next.reply)) break;
    t.chunks++;
    t.titles += TitlesIn(next.reply);
  }
  Frame after;
  if (!line.WaitFor(line.FrameCount(), IsStatus, kStatusWaitMs, &after)) return std::nullopt;
  t.elapsedMs = after.atMs - restart.status.atMs;
  SplitTicks(line.Frames(), restart.status, after, &t);
  return t;
}

// One tick of the poll cycle.
#include "protocol/poll_tick.h"

#include <cstring>

#include "protocol/handlers.h"
#include "protocol/quit_request.h"
#include "protocol/reply_buffer.h"
#include "protocol/status_frame.h"
#include "serial/frame.h"
#include "serial/port_io.h"
#include "serial/port_recovery.h"
#include "host/host_catalogue.h"

int32_t PlaylistLength = 0;
uint32_t PlaylistPosition = 0;
PollCounters PollStats = {};

namespace {

// The panel lists at most 500 entries: the host playlist is cut to that, last entry
// first, so entries 0 to 499 are never touched. False when quit cut the trim short: the
// playlist may still be longer than any list may be.
bool TrimPlaylist() {
  PlaylistLength = HostPlaylistLength();
  if (PlaylistLength <= static_cast<int32_t>(kMaxListEntries)) return true;
  for (int32_t i = PlaylistLength - 1; i >= static_cast<int32_t>(kMaxListEntries); i--) {
    if (QuitRequested()) return false;
    HostDeletePlaylistEntry(i);
  }
  PlaylistLength = HostPlaylistLength();
  return true;
}

void ReadPlaylistPosition() {
  const uint32_t position = static_cast<uint32_t>(HostPlaylistPosition());
  PlaylistPosition = position > kMaxListEntries ? kMaxListEntries : position;
}

void SendPendingReply() {
  if (ReplyPending()) {
    if (WriteFrame(ReplyBuffer)) {
      PollStats.repliesSent++;
    } else if (!PortIsOpen()) {
      // Its own write found the port gone: it goes out once the panel is back.
      return;
    } else {
      PollStats.repliesLost++;
    }
  }
  std::memset(ReplyBuffer, 0, sizeof ReplyBuffer);
}

// On a tick without a command: when the playlist was changed from outside, makes up the
// command that re-reads it ("Q" sub-command 3) and returns true.
bool MakeUpPlaylistCommand(uint8_t* command) {
  if (HostPlaylistChanged() == 0) return false;
  HostMarkPlaylistClean();
  PollStats.playlistChanges++;
  command[0] = 'Q';
  command[2] = 3;
  return true;
}

// Everything after the trim: the status frame out, a command in, and its handling.
void ExchangeWithPanel() {
  ReadPlaylistPosition();

  uint8_t status[kStatusPayloadSize];
  BuildStatusPayload(status, PlaylistLength, PlaylistPosition);
  SendFrame(status, sizeof status);

  FrameBuffer frame;
  uint8_t* command = frame + kPayloadOffset;
  bool haveCommand = ReceiveFrame(frame, kCommandWaitMs) != 0;
  if (!haveCommand) {
    // A port that went away during this tick keeps the pending reply, and the player's
    // playlist change, for the panel's return.
    if (!PortIsOpen()) return;
    SendPendingReply();
    if (!PortIsOpen()) return;  // the reply's own write found it gone
    std::memset(frame, 0, sizeof frame);
    haveCommand = MakeUpPlaylistCommand(command);
  }
  if (haveCommand) DispatchCommand(command);
}

}  // namespace

void PollTick() {
  PollStats.ticks++;
  // A trim that quit cut short leaves more than 500 entries, which nothing may report or
  // index; the tick has no more to do anyway. While the port is gone the tick keeps the
  // playlist in bounds and, about once a second, tries to get the port back (one open at
  // most, so quit never waits long for the tick); it skips the line and its wait.
  if (TrimPlaylist() && PanelPortReady()) ExchangeWithPanel();
  // The one place that arms the next tick: whatever a handler did or refused, the cycle
  // goes on exactly once (or, once quit has begun, not at all).
  ArmPollTimer();
}

// Puts frames on the line and takes them off it. Knows nothing of what a payload means.
#include "serial/frame.h"

#include <cstring>

#include "serial/port_io.h"
#include "serial/port_recovery.h"

uint8_t FrameSequence = 0;
LinkCounters LinkStats = {};

namespace {

// The payload and the end marker each get this long once a header has arrived.
constexpr uint32_t kFrameRestWaitMs = 30;
// A line that streams junk ends the hunt here even if the wait has not run out.
constexpr uint32_t kMaxSkippedBytes = 1024;

// Every read and write of the codec goes to the port's recovery, which tells a dead port
// from a line error; once the port is gone the rest of the tick's frames touch nothing.
int Noted(int n) {
  if (n < 0) {
    NotePortFailure(PortError());
  } else {
    NotePortSuccess();
  }
  return n;
}

int Read(uint8_t* into, uint32_t length, uint32_t waitMs) {
  if (!PortIsOpen()) return -1;
  return Noted(PortRead(into, length, waitMs));
}

int Write(const uint8_t* from, uint32_t length) {
  if (!PortIsOpen()) return -1;
  return Noted(PortWrite(from, length));
}

// Index of the first byte that may begin a frame: a 0x55 followed by 0xAA, or a 0x55
// that ends what has been read so far. `have` when there is none.
uint32_t FirstPossibleStart(const uint8_t* bytes, uint32_t have) {
  for (uint32_t i = 0; i < have; i++) {
    if (bytes[i] == kStartMarker[0] && (i + 1 == have || bytes[i + 1] == kStartMarker[1])) return i;
  }
  return have;
}

// Fills bytes 0 to 3 with a header that begins with the start marker, dropping whatever
// comes before one, within waitMs in all.
bool ReceiveHeader(uint8_t* buffer, uint32_t waitMs) {
  const uint32_t start = PortMillis();
  uint32_t have = 0;
  uint32_t skipped = 0;
  for (;;) {
    const uint32_t elapsed = PortMillis() - start;
    if (elapsed >= waitMs) return false;
    const int n = Read(buffer + have, kHeaderSize - have, waitMs - elapsed);
    if (n <= 0) return false;
    have += static_cast<uint32_t>(n);
    const uint32_t drop = FirstPossibleStart(buffer, have);
    if (drop > 0) {
      std::memmove(buffer, buffer + drop, have - drop);
      std::memset(buffer + have - drop, 0, drop);
      have -= drop;
      skipped += drop;
      LinkStats.bytesSkipped += drop;
      if (skipped > kMaxSkippedBytes) return false;
    }
    if (have == kHeaderSize) return true;
  }
}

bool ReadExactly(uint8_t* into, uint32_t length) {
  return Read(into, length, kFrameRestWaitMs) == static_cast<int>(length);
}

bool WriteExactly(const uint8_t* from, uint32_t length) {
  if (Write(from, length) == static_cast<int>(length)) return true;
  LinkStats.writesShort++;
  return false;
}

}  // namespace

int SendFrame(const uint8_t* payload, uint32_t length) {
  if (payload == nullptr || length > kMaxPayload) return 0;
  FrameBuffer frame = {};
  std::memcpy(frame + kPayloadOffset, payload, length);
  frame[kLengthOffset] = static_cast<uint8_t>(length);
  frame[kSequenceOffset] = FrameSequence++;
  return WriteFrame(frame);
}

int WriteFrame(uint8_t* buffer) {
  buffer[0] = kStartMarker[0];
  buffer[1] = kStartMarker[1];
  buffer[kEndMarkerOffset] = kEndMarker[0];
  buffer[kEndMarkerOffset + 1] = kEndMarker[1];
  const uint32_t length = buffer[kLengthOffset];
  // A caller's length above 250 would send bytes of the end-marker slot as payload.
  if (length > kMaxPayload) return 0;
  // The wire image in one piece and one write: every write is a round trip to the
  // driver, and a tick's own time is most of what stretches the poll period.
  uint8_t wire[kFrameSize];
  std::memcpy(wire, buffer, kHeaderSize + length);
  std::memcpy(wire + kHeaderSize + length, kEndMarker, sizeof kEndMarker);
  return WriteExactly(wire, kHeaderSize + length + sizeof kEndMarker) ? 1 : 0;
}

int ReceiveFrame(uint8_t* buffer, uint32_t firstTimeoutMs) {
  std::memset(buffer, 0, kFrameSize);
  if (!ReceiveHeader(buffer, firstTimeoutMs)) return 0;
  const uint32_t length = buffer[kLengthOffset];
  // Refused at the header: 251 to 255 bytes would run into the end-marker slot.
  bool ok = length <= kMaxPayload;
  ok = ok && (length == 0 || ReadExactly(buffer + kPayloadOffset, length));
  ok = ok && ReadExactly(buffer + kEndMarkerOffset, sizeof kEndMarker);
  ok = ok && buffer[kEndMarkerOffset] == kEndMarker[0] && buffer[kEndMarkerOffset + 1] == kEndMarker[1];
  if (!ok) {
    LinkStats.framesRejected++;
    return 0;
  }
  LinkStats.framesReceived++;
  return 1;
}

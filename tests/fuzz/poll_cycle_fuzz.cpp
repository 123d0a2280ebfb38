// Whatever the panel sends, over whatever player and disk: the input's bytes reach the line
// as command frames (well formed, late, split, for any letter, sub-command and index) and
// as noise, and go through the tick's receive and dispatch into every handler, over a
// player and a music folder that the input describes too. Between ticks the player, the
// disk and the line change. poll_checks.h says what must hold on every tick.
//
// Input: two bytes giving the length of the world's part, the world (poll_world.h), then
// one event per tick: a frame, noise, a change of the world, trouble on the line, or nothing.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "browse/folder_browser.h"
#include "fakes/fake_port.h"
#include "fakes/fake_timer.h"
#include "fuzz_input.h"
#include "poll_checks.h"
#include "poll_world.h"
#include "protocol/poll_tick.h"
#include "serial/frame.h"

namespace {

constexpr int kMaxTicks = 200;
constexpr uint32_t kTickPeriodMs = 35;
constexpr uint8_t kLetters[] = {'E', 'F', 'I', 'L', 'O', 'P', 'Q', 'S'};

// A frame or noise being queued: built in place, as a tick queues one or two of them.
struct Bytes {
  uint8_t data[kFrameSize];
  size_t size = 0;
};

uint32_t LastArrival = 0;  // the line keeps its bytes in order

void Queue(const uint8_t* bytes, size_t size, uint32_t atMs) {
  LastArrival = std::max(atMs, LastArrival);
  Line.Queue(bytes, size, LastArrival);
}

// An index near the edges that matter: the lists' lengths, 500, and the 16-bit ends.
uint32_t Index(FuzzInput& in) {
  static const uint32_t kFar[] = {0xFFFF, 0x8000, 0xFFFE, 0x7FFF};
  switch (in.Byte() % 6) {
    case 1: return BrowseCount + in.Byte() % 3 - 1;
    case 2: return static_cast<uint32_t>(PlaylistLength) + in.Byte() % 3 - 1;
    case 3: return 495 + in.Byte() % 10;
    case 4: return in.Pick(kFar);
    case 5: return in.Word();
    default: return in.Byte() % 8;
  }
}

void PutIndex(uint8_t* command, uint32_t index) {
  command[0] = static_cast<uint8_t>(index >> 8);
  command[1] = static_cast<uint8_t>(index);
}

// Mostly a letter some handler takes, with a sub-command of 0 to 9; sometimes any bytes.
// Cut short, of the usual length, with a query text of up to 20 bytes, or a full 250.
// Written at c, which has room for 250 bytes; returns its length.
size_t Command(FuzzInput& in, uint8_t* c) {
  std::memset(c, 0, kMaxPayload);
  const uint8_t letter = in.Byte();
  c[0] = letter < 0xF0 ? kLetters[letter % sizeof kLetters] : letter;
  c[1] = in.Byte();
  const uint8_t sub = in.Byte();
  c[2] = sub < 0xF0 ? sub % 10 : sub;
  PutIndex(c + 3, Index(in));
  PutIndex(c + 5, Index(in));
  const size_t text = in.Bytes(c + 6, in.Byte() % 24);
  const uint8_t shape = in.Byte();
  switch (shape % 4) {
    case 1: return 1 + shape / 4 % 7;
    case 2: return kMaxPayload;
    case 3: return 26;
    default: return std::max<size_t>(7, 6 + text);
  }
}

// A well-formed frame around a command, arriving within or after the tick's 15 ms, whole
// or in two pieces.
void QueueFrame(FuzzInput& in) {
  Bytes frame;
  const size_t payload = Command(in, frame.data + kHeaderSize);
  frame.data[0] = 0x55;
  frame.data[1] = 0xAA;
  frame.data[2] = in.Byte();
  frame.data[3] = static_cast<uint8_t>(payload);
  frame.data[kHeaderSize + payload] = 0xBB;
  frame.data[kHeaderSize + payload + 1] = 0xCC;
  frame.size = kHeaderSize + payload + 2;
  const uint32_t at = Line.nowMs + in.Byte() % 24;
  const uint8_t split = in.Byte();
  if (split % 4 != 3) {
    Queue(frame.data, frame.size, at);
    return;
  }
  const size_t cut = 1 + split / 4 % (frame.size - 1);
  Queue(frame.data, cut, at);
  Queue(frame.data + cut, frame.size - cut, at + in.Byte() % 64);
}

void QueueNoise(FuzzInput& in) {
  Bytes noise;
  noise.size = in.Bytes(noise.data, in.Byte() % 48);
  Queue(noise.data, noise.size, Line.nowMs + in.Byte() % 24);
}

// A read or write that fails, times out or is broken off by a line error, an adapter
// pulled out and plugged back, the second that passes before the port is tried again, an
// open that hangs or ends, a line status that fails.
void LineTrouble(FuzzInput& in) {
  static const uint32_t kCodes[] = {22, 121, 1, 5, 1460, 995};
  static const int kShort[] = {-1, 0, 3};
  switch (in.Byte() % 7) {
    case 0:
      Line.failReadNumber = static_cast<int>(Line.readWaits.size() + in.Byte() % 3);
      Line.failCode = in.Pick(kCodes);
      break;
    case 1:
      Line.failWriteNumber = static_cast<int>(Line.writes.size() + in.Byte() % 2);
      Line.shortCount = in.Pick(kShort);
      Line.failCode = in.Pick(kCodes);
      break;
    case 2: Line.Unplug(); break;
    case 3: Line.plugged = true; break;
    case 4: Line.nowMs += 1000; break;
    case 5:
      Line.openBlocks = !Line.openBlocks;
      Line.FinishOpen();
      break;
    default: Line.lineStatusCode = in.Byte() % 2 ? 0 : 5; break;
  }
}

void Event(FuzzInput& in) {
  switch (in.Byte() % 8) {
    case 4: QueueNoise(in); break;
    case 5: break;
    case 6: ChangeWorld(in); break;
    case 7: LineTrouble(in); break;
    default: QueueFrame(in); break;
  }
}

// Once quit has begun, the tick that saw it is the last one.
bool QuitBegun() { return QuitAfterChecks >= 0 && QuitChecks > QuitAfterChecks; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t worldSize = std::min<size_t>(size - 2, static_cast<size_t>(data[0]) << 8 | data[1]);
  FuzzInput world{data + 2, worldSize};
  FuzzInput ticks{data + 2 + worldSize, size - 2 - worldSize};
  BuildWorld(world);
  static const bool trace = std::getenv("QB_FUZZ_TRACE") != nullptr;
  if (trace) PrintWorld();
  WatchPaths();
  RescanCurrentFolder();  // the start-up scan
  LastArrival = 0;
  for (int n = 0; n < kMaxTicks && !ticks.Done() && !QuitBegun(); n++) {
    Event(ticks);
    CheckedTick();
    Line.nowMs += kTickPeriodMs;
  }
  ReleaseWorld();
  return 0;
}

// The panel firmware takes whatever the line brings: status frames, replies of every
// shape, noise and frames cut short, while its keys are pressed (on the shields' ladders,
// near the thresholds, held from start-up into the key check and its calibration), over
// whatever its EEPROM holds. Fed a byte at a time,
// as its receive interrupt hands them over, it must never read or write out of bounds,
// send a command anywhere but right after a status frame, send two in one tick, or put
// on its display anything the display cannot show.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "firmware/fake_board.h"
#include "fuzz_input.h"
#include "logic/panel.h"
#include "wire/frame_hunt.h"
#include "wire/reply_form.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// What the line has brought so far: the check of "right after a status frame" reads its
// end, apart from the panel's own frame hunt.
Bytes Line;
size_t SentBefore = 0;
size_t StatusEndsSeen = 0;  // status frames that ended on the line's last byte so far
size_t StatusEndAtLastSend = 0;

bool LineEndsWithStatusFrame() {
  constexpr size_t kFrame = kStatusLength + kFrameOverhead;
  if (Line.size() < kFrame) return false;
  const uint8_t* f = Line.data() + Line.size() - kFrame;
  return f[0] == 0x55 && f[1] == 0xAA && f[3] == kStatusLength && f[4] == kStatusLetter && f[kFrame - 2] == 0xBB &&
         f[kFrame - 1] == 0xCC;
}

void CheckScreen() {
  for (const auto& row : Board.shown.cells) {
    for (char c : row) Check(static_cast<uint8_t>(c) < kGlyphCount || (c >= 0x20 && c <= 0x7D && c != '\\'));
  }
}

void Take(uint8_t byte) {
  Line.push_back(byte);
  Board.incoming.push_back(byte);
  PanelStep();
  const bool statusEnd = LineEndsWithStatusFrame();
  if (statusEnd) StatusEndsSeen++;
  for (; SentBefore < Board.sent.size(); SentBefore++) {
    const Bytes& f = Board.sent[SentBefore].bytes;
    Check(statusEnd);                             // only right after a status frame ...
    Check(StatusEndsSeen > StatusEndAtLastSend);  // ... and one command per status frame
    StatusEndAtLastSend = StatusEndsSeen;
    Check(f.size() >= kFrameOverhead && f.size() <= kMaxCommandLength + kFrameOverhead);
    Check(f[0] == 0x55 && f[1] == 0xAA && f[3] == f.size() - kFrameOverhead);
    Check(f[4 + kTagAt] != 0);  // tag 0 is the plug-in's own
  }
}

void TakeAll(const Bytes& bytes) {
  for (uint8_t b : bytes) Take(b);
}

Bytes Reply(FuzzInput& in) {
  static const uint8_t kLetters[] = {'L', 'D', 'E', 'F', 'I', 'B', 'Q'};
  static const uint8_t kLengths[] = {6, 10, 92, 100, 244, 250, 0, 1};
  Bytes p(in.Pick(kLengths), 0);
  if (!p.empty()) p[0] = in.Pick(kLetters);
  for (size_t i = 1; i < p.size() && i < 8; i++) p[i] = in.Byte() % 8;
  if (p.size() == kChunkLength) p[3] = in.Byte();
  for (size_t i = 8; i < p.size(); i++) p[i] = in.Byte();
  return p;
}

StatusFields Status(FuzzInput& in) {
  StatusFields f;
  f.playState = in.Byte() % 4;
  f.shuffle = in.Byte() % 3;
  f.minutes = static_cast<int8_t>(in.Byte());
  f.seconds = static_cast<int8_t>(in.Byte());
  f.length = static_cast<uint16_t>(in.Below(502));
  f.position = static_cast<uint16_t>(in.Below(502));
  f.title = in.Bytes(in.Below(45));
  f.folder = in.Bytes(in.Below(45));
  return f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ResetBoard();
  Line.clear();
  SentBefore = StatusEndsSeen = StatusEndAtLastSend = 0;
  FuzzInput in{data, size};
  const std::string stored = in.Bytes(in.Below(16));
  std::copy(stored.begin(), stored.end(), Board.eeprom.begin());
  PanelStart();
  static const uint16_t kKeyReadings[] = {1023, 0, 143, 327, 511, 736, 900, 70, 57, 359, 884, 512, 683, 768, 819, 990};
  while (!in.Done()) {
    switch (in.Byte() % 5) {
      case 0: TakeAll(FrameOf(StatusBytes(Status(in)), in.Byte())); break;
      case 1: TakeAll(FrameOf(Reply(in))); break;
      case 2: {  // noise, or the start of a frame cut short
        const Bytes frame = FrameOf(StatusBytes(Status(in)));
        TakeAll(Bytes(frame.begin(), frame.begin() + static_cast<long>(in.Below(static_cast<uint32_t>(frame.size())))));
        break;
      }
      case 3: {
        const std::string noise = in.Bytes(in.Below(64));
        TakeAll(Bytes(noise.begin(), noise.end()));
        break;
      }
      default:  // time passes with a key held, or none
        Board.keyReading = in.Pick(kKeyReadings);
        for (uint32_t t = in.Below(300); t > 0; t -= 5 < t ? 5 : t) {
          Board.nowMs += 5;
          PanelStep();
        }
        break;
    }
    CheckScreen();
  }
  return 0;
}

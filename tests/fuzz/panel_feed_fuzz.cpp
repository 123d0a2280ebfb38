// The panel emulator takes whatever the line brings: frames, replies, chunks with any
// used length, garbage. Fed in pieces, with a list transfer and commands waiting, it must
// never read or write out of bounds.
#include <cstddef>
#include <cstdint>

#include "session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Session s;
  FetchList(s, ListKind::Folder);
  Request info;
  info.payload = CommandPayload('I', 1, 0);
  info.expect = ReplyForm::SongInfo;
  Submit(s, info);
  double now = 0;
  // The first byte of each piece says how long the piece is.
  for (size_t at = 0; at < size;) {
    const size_t piece = 1 + data[at] % 64;
    const size_t n = at + 1 + piece <= size ? piece : size - at - 1;
    Feed(s, data + at + 1, n, now += 20);
    CheckLine(s, now);
    for (const Event& e : TakeEvents(s)) {
      if (e.kind == EventKind::Replied) DecodeSongInfo(e.payload);
    }
    at += 1 + n;
  }
  return 0;
}

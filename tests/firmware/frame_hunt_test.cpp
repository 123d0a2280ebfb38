// The panel's frame hunt, fed one byte at a time as the receive interrupt hands them over.
#include "wire/frame_hunt.h"

#include <gtest/gtest.h>

#include "fake_board.h"

namespace {

// Payloads of the frames found in a stream, and the candidates refused on the way.
struct Found {
  std::vector<Bytes> payloads;
  int broken = 0;
};

Found Hunt(const Bytes& stream) {
  FrameHunt hunt;
  HuntReset(&hunt);
  Found found;
  auto take = [&] { found.payloads.emplace_back(HuntPayload(hunt), HuntPayload(hunt) + HuntLength(hunt)); };
  for (uint8_t b : stream) {
    if (!HuntByte(&hunt, b)) continue;
    take();
    while (HuntNext(&hunt)) take();
  }
  found.broken = hunt.broken;
  return found;
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

Bytes Cut(const Bytes& frame, size_t keep) { return Bytes(frame.begin(), frame.begin() + static_cast<long>(keep)); }

TEST(FrameHunt, FindsEveryWholeFrameWhateverSurroundsIt) {
  const Bytes a = {'P', 0x11, 0x13, 0x55, 0xAA, 0xBB, 0xCC};  // the markers and XON/XOFF inside a payload
  const Bytes b = {'B', 1, 2, 3};
  const Bytes big(250, 0x55);
  const Bytes frameA = FrameOf(a), frameB = FrameOf(b);
  struct Case {
    const char* what;
    Bytes stream;
    std::vector<Bytes> payloads;
    int broken;
  } cases[] = {
      {"two frames back to back", Join({frameA, frameB}), {a, b}, 0},
      {"noise before, between and after", Join({{0x00, 0xFF, 0x55}, frameA, {0xAA, 0x13}, frameB, {0x55}}), {a, b}, 0},
      {"an empty payload", FrameOf({}), {Bytes{}}, 0},
      {"the longest payload, all 0x55", FrameOf(big), {big}, 0},
      // power came up in the middle of a frame: its tail is noise, here with a false
      // start (55 AA BB CC) that promises 204 bytes; the frames it swallowed are found
      // once it fails
      {"the tail of a frame, then whole ones",
       Join({Bytes(frameA.begin() + 3, frameA.end()), frameB, FrameOf(big)}),
       {b, big},
       1},
      // the start of a frame whose rest was lost swallows the next frame's start
      {"a cut frame before a whole one", Join({Cut(frameA, 6), frameB}), {b}, 1},
      {"a length above 250 is no frame", Join({{0x55, 0xAA, 0, 251, 'P'}, frameB}), {b}, 1},
      {"a wrong end marker", Join({{0x55, 0xAA, 0, 1, 'P', 0xBB, 0xCD}, frameB}), {b}, 1},
      // a false start inside the payload of a broken frame is tried and dropped too
      {"a false start in a broken frame", Join({{0x55, 0xAA, 0, 8, 0x55, 0xAA, 0, 0}, frameB}), {b}, 2},
      {"half a frame at the end is still awaited", Join({frameA, Cut(frameB, 5)}), {a}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Found found = Hunt(c.stream);
    EXPECT_EQ(found.payloads, c.payloads);
    EXPECT_EQ(found.broken, c.broken);
  }
}

TEST(FrameHunt, EncodesOnlyWhatFits) {
  uint8_t out[kMaxFrame];
  const uint8_t payload[251] = {'E', 7};
  EXPECT_EQ(EncodeFrame(payload, 2, 9, out, sizeof out), 8u);
  EXPECT_EQ(Bytes(out, out + 8), (Bytes{0x55, 0xAA, 9, 2, 'E', 7, 0xBB, 0xCC}));
  EXPECT_EQ(EncodeFrame(payload, 251, 0, out, sizeof out), 0u);  // longer than a frame may carry
  EXPECT_EQ(EncodeFrame(payload, 3, 0, out, 8), 0u);             // one byte short of room
}

}  // namespace

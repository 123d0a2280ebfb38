// The frame envelope over a scripted line.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "fakes/fake_port.h"
#include "serial/frame.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Range(uint32_t n, uint8_t first = 0) {
  Bytes b(n);
  for (uint32_t i = 0; i < n; i++) b[i] = static_cast<uint8_t>(first + i);
  return b;
}

class FrameCodec : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFakeLine();
    FrameSequence = 0;
    LinkStats = {};
  }
  // Exactly 256 bytes on the heap, so AddressSanitizer sees any write past the frame.
  std::unique_ptr<uint8_t[]> buffer{new uint8_t[kFrameSize]};
};

TEST_F(FrameCodec, SendsEmptyAndFullPayloadsInTheirWrites) {
  const uint8_t none = 0;
  ASSERT_EQ(SendFrame(&none, 0), 1);
  ASSERT_EQ(Line.writes.size(), 1u);  // the whole frame in one write
  EXPECT_EQ(Line.Written(), (Bytes{0x55, 0xAA, 0, 0, 0xBB, 0xCC}));

  ResetFakeLine();
  const Bytes payload = Range(250);
  ASSERT_EQ(SendFrame(payload.data(), 250), 1);
  ASSERT_EQ(Line.writes.size(), 1u);
  const Bytes wire = Line.Written();
  ASSERT_EQ(wire.size(), 256u);
  EXPECT_EQ(wire[2], 1);    // second frame of the sequence
  EXPECT_EQ(wire[3], 250);
  EXPECT_EQ(Bytes(wire.begin() + 4, wire.end() - 2), payload);
  EXPECT_EQ(wire[254], 0xBB);
  EXPECT_EQ(wire[255], 0xCC);
}

TEST_F(FrameCodec, RefusesOversizedOrMissingPayloadWithoutTouchingTheSequence) {
  const Bytes payload = Range(251);
  EXPECT_EQ(SendFrame(payload.data(), 251), 0);  // would overrun the 250-byte payload area
  EXPECT_EQ(SendFrame(nullptr, 0), 0);
  EXPECT_TRUE(Line.writes.empty());
  EXPECT_EQ(FrameSequence, 0);
}

TEST_F(FrameCodec, SequenceCountsAndWrapsWhileWriteFrameKeepsItsOwnByte) {
  uint8_t b = 0;
  for (int i = 0; i < 257; i++) ASSERT_EQ(SendFrame(&b, 1), 1);
  const auto frames = Line.WrittenFrames();
  ASSERT_EQ(frames.size(), 257u);
  for (int i = 0; i < 256; i++) EXPECT_EQ(frames[static_cast<size_t>(i)][2], i);
  EXPECT_EQ(frames[256][2], 0);  // the 257th wraps to 0

  // A reply sent with WriteFrame from a zeroed buffer carries 0 and moves no counter.
  ResetFakeLine();
  uint8_t reply[kFrameSize] = {};
  ASSERT_EQ(WriteFrame(reply), 1);
  ASSERT_EQ(SendFrame(&b, 1), 1);
  const auto after = Line.WrittenFrames();
  EXPECT_EQ(after[0][2], 0);
  EXPECT_EQ(after[1][2], 1);
  EXPECT_EQ(reply[0], 0x55);  // markers are written into the caller's image
  EXPECT_EQ(reply[255], 0xCC);
}

TEST_F(FrameCodec, AShortOrFailedWriteFailsTheFrame) {
  const int counts[] = {3, 25, -1};  // short in the header, short by the end marker, failed
  const Bytes payload = Range(20);
  for (const int count : counts) {
    ResetFakeLine();
    Line.failWriteNumber = 0;
    Line.shortCount = count;
    EXPECT_EQ(SendFrame(payload.data(), 20), 0) << count;
    EXPECT_EQ(Line.writes.size(), 1u);
    EXPECT_EQ(LinkStats.writesShort, 1u);
    LinkStats = {};
  }
}

TEST_F(FrameCodec, WriteFrameRefusesALengthThatRunsIntoTheEndMarker) {
  uint8_t image[kFrameSize] = {};
  image[3] = 251;
  EXPECT_EQ(WriteFrame(image), 0);
  EXPECT_TRUE(Line.writes.empty());
}

TEST_F(FrameCodec, ReceivesWellFormedFrames) {
  Line.Queue({0x55, 0xAA, 0x07, 0x00, 0xBB, 0xCC});
  ASSERT_EQ(ReceiveFrame(buffer.get(), 15), 1);
  EXPECT_EQ(buffer[3], 0);
  EXPECT_EQ(Line.readWaits, (std::vector<uint32_t>{15, 30}));  // header, then end marker

  const Bytes payload = Range(250, 7);
  Line.Queue(EncodeFrame(payload, 9));
  ASSERT_EQ(ReceiveFrame(buffer.get(), 15), 1);
  EXPECT_EQ(Bytes(buffer.get() + 4, buffer.get() + 254), payload);
  EXPECT_EQ(LinkStats.framesReceived, 2u);
}

TEST_F(FrameCodec, ZeroesTheBufferSoShortPayloadsReadZeroBeyond) {
  std::fill(buffer.get(), buffer.get() + kFrameSize, 0xEE);
  Line.Queue(EncodeFrame({'P'}));
  ASSERT_EQ(ReceiveFrame(buffer.get(), 15), 1);
  for (uint32_t i = 5; i < 254; i++) ASSERT_EQ(buffer[i], 0) << i;
}

TEST_F(FrameCodec, HuntsForTheStartMarkerSoALateFrameCostsOnlyItself) {
  struct Case {
    const char* what;
    Bytes before;
  } cases[] = {
      {"the tail of a broken frame", {0x07, 0x42, 0xBB, 0xCC}},
      {"a start byte without its partner", {0x55, 0xAB, 0x01}},
      {"a lone 0x55 then the frame", {0x55}},
      {"junk, then a 0x55 that does not begin the frame", {0x00, 0x55}},
  };
  for (const Case& c : cases) {
    SetUp();
    Line.Queue(c.before);
    Line.Queue(EncodeFrame({'P', 0, 5}));
    ASSERT_EQ(ReceiveFrame(buffer.get(), 15), 1) << c.what;
    EXPECT_EQ(buffer[4], 'P') << c.what;
    EXPECT_EQ(buffer[6], 5) << c.what;
  }
}

TEST_F(FrameCodec, RejectsBrokenFramesWithinTheirWaits) {
  struct Case {
    const char* what;
    Bytes wire;
    uint32_t maxMs;  // how long the receive may take on the fake clock
  } cases[] = {
      {"silent line", {}, 15},
      {"junk only", {0x01, 0x02, 0x03, 0x04, 0x05}, 15},
      {"wrong end marker", {0x55, 0xAA, 0, 1, 'P', 0xBB, 0xCD}, 0},
      {"payload cut short", {0x55, 0xAA, 0, 5, 'P', 'Q'}, 30},
      {"end marker missing", {0x55, 0xAA, 0, 1, 'P'}, 30},
  };
  for (const Case& c : cases) {
    SetUp();
    Line.Queue(c.wire);
    EXPECT_EQ(ReceiveFrame(buffer.get(), 15), 0) << c.what;
    EXPECT_LE(Line.nowMs, c.maxMs) << c.what;
  }
}

TEST_F(FrameCodec, WrongEndMarkerLeavesThePayloadInTheBuffer) {
  Line.Queue({0x55, 0xAA, 0, 2, 'O', 'K', 0xBB, 0xCD});
  EXPECT_EQ(ReceiveFrame(buffer.get(), 15), 0);
  EXPECT_EQ(buffer[4], 'O');
  EXPECT_EQ(buffer[5], 'K');
  EXPECT_EQ(LinkStats.framesRejected, 1u);
}

TEST_F(FrameCodec, RefusesLengthsPastTheBufferAtTheHeader) {
  for (int length = 251; length <= 255; length++) {
    SetUp();
    Bytes wire = {0x55, 0xAA, 0, static_cast<uint8_t>(length)};
    const Bytes body = Range(static_cast<uint32_t>(length) + 2, 0x10);
    wire.insert(wire.end(), body.begin(), body.end());
    Line.Queue(wire);
    EXPECT_EQ(ReceiveFrame(buffer.get(), 15), 0) << length;
    // Nothing of the body was read: the next receive hunts through it.
    EXPECT_EQ(Line.inbound.size(), body.size()) << length;
  }
}

TEST_F(FrameCodec, AFrameArrivingLateInTheWaitIsStillTaken) {
  Line.Queue(EncodeFrame({'S', 0, 1}), 12);
  ASSERT_EQ(ReceiveFrame(buffer.get(), 15), 1);
  EXPECT_EQ(buffer[4], 'S');
}

TEST_F(FrameCodec, AStreamOfJunkEndsTheHuntEvenBeforeTheWait) {
  Line.Queue(Bytes(5000, 0x00));
  EXPECT_EQ(ReceiveFrame(buffer.get(), 15), 0);
  EXPECT_LT(Line.inbound.size(), 5000u - 1024u);
  EXPECT_GT(Line.inbound.size(), 0u);
}

}  // namespace

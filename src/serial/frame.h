// The frame envelope, the same in both directions of the line:
//   0x55 0xAA, sequence byte, payload length N (0..250), N payload bytes, 0xBB 0xCC.
// No checksum and no escaping: the markers may also occur inside a payload.
//
// In memory a frame is a 256-byte FrameBuffer whose end marker always sits at bytes 254
// and 255, so a payload of any length up to 250 never moves it; on the wire the end
// marker follows the payload directly.
//
// A read or write that fails, rather than times out, tells the port's recovery
// (port_recovery.h), which closes the port; while none is open the three operations
// return 0 without touching the port.
#pragma once
#include <cstdint>

constexpr uint32_t kFrameSize = 256;
constexpr uint32_t kMaxPayload = 250;
constexpr uint32_t kHeaderSize = 4;
constexpr uint32_t kPayloadOffset = 4;
constexpr uint32_t kLengthOffset = 3;
constexpr uint32_t kSequenceOffset = 2;
constexpr uint32_t kEndMarkerOffset = 254;
constexpr uint8_t kStartMarker[2] = {0x55, 0xAA};
constexpr uint8_t kEndMarker[2] = {0xBB, 0xCC};
static_assert(kPayloadOffset + kMaxPayload == kEndMarkerOffset);
static_assert(kEndMarkerOffset + sizeof kEndMarker == kFrameSize);

using FrameBuffer = uint8_t[kFrameSize];

// The running sequence number that SendFrame stamps into byte 2; 0 at load, never reset.
extern uint8_t FrameSequence;

// Sends a payload of at most 250 bytes as the next frame of the sequence.
// Returns 1 when the whole frame was written; 0 (nothing sent, sequence unchanged)
// for a null payload or a length above 250, or 0 when a write fell short.
int SendFrame(const uint8_t* payload, uint32_t length);

// Sends the caller's frame image as it stands (sequence byte included), after writing
// the start and end markers into it. Returns 1 when all of it was written.
int WriteFrame(uint8_t* buffer);

// Waits up to firstTimeoutMs for a frame to begin, then up to 30 ms each for its
// payload and its end marker. Bytes ahead of a start marker are dropped, so a broken
// frame costs only itself. Returns 1 with the frame in buffer (payload from byte 4),
// 0 otherwise; the buffer is zeroed first, so bytes past a short payload read 0.
int ReceiveFrame(uint8_t* buffer, uint32_t firstTimeoutMs);

// What the codec dropped; read by tests and a debug build, never reported to anyone.
struct LinkCounters {
  uint32_t framesReceived;
  uint32_t framesRejected;   // bad length, short payload, wrong end marker
  uint32_t bytesSkipped;     // dropped while looking for a start marker
  uint32_t writesShort;      // a write that failed or timed out part way
};
extern LinkCounters LinkStats;

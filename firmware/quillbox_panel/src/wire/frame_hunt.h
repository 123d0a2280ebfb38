// Finding the plug-in's frames in what the line brings, one byte at a time, as a receive
// interrupt hands them over: 0x55 0xAA, sequence, length N (0..250), N payload bytes,
// 0xBB 0xCC. There is no checksum and no escaping, and the markers may occur inside a
// payload, so a frame is read by its length byte and counts only when its end marker
// stands exactly where the length says.
//
// Noise, and a frame cut short when the panel powers up or the line is pulled mid-frame,
// cost only themselves: when a candidate turns out not to be a frame (a length above 250,
// a wrong end marker), the hunt starts again at the next 0x55 after the false start, so
// a real frame whose start was swallowed by a broken one is still found. Such a frame is
// found late, with bytes behind it already held: it is not the latest thing on the line.
#pragma once
#include <stdint.h>

constexpr uint8_t kFrameStart[2] = {0x55, 0xAA};
constexpr uint8_t kFrameEnd[2] = {0xBB, 0xCC};
constexpr uint8_t kMaxFramePayload = 250;
constexpr uint8_t kFrameHeader = 4;  // the markers, the sequence and the length
constexpr uint8_t kFrameOverhead = 6;
constexpr uint16_t kMaxFrame = kMaxFramePayload + kFrameOverhead;
static_assert(kMaxFrame == 256, "a whole frame fits the hunt's buffer");

struct FrameHunt {
  uint8_t bytes[kMaxFrame];  // from the candidate's start marker on
  uint16_t have;             // bytes held
  bool whole;                // bytes begins with a whole frame, handed out
  uint16_t skipped;          // bytes dropped while looking for a start (wraps)
  uint16_t broken;           // candidates refused: a length above 250, a wrong end marker (wraps)
};

void HuntReset(FrameHunt* hunt);

// Takes the next byte off the line. True when a whole frame is found: its payload is then
// HuntPayload()/HuntLength() until the next call.
bool HuntByte(FrameHunt* hunt, uint8_t byte);
// After a frame was found: true when another whole frame was already held behind it (a
// rescan can find more than one); call it until false before taking the next byte.
bool HuntNext(FrameHunt* hunt);
// The frame found ends with the last byte taken: nothing came after it yet.
bool HuntFrameIsLatest(const FrameHunt& hunt);

inline uint8_t HuntSequence(const FrameHunt& hunt) { return hunt.bytes[2]; }
inline uint8_t HuntLength(const FrameHunt& hunt) { return hunt.bytes[3]; }
inline const uint8_t* HuntPayload(const FrameHunt& hunt) { return hunt.bytes + kFrameHeader; }

// Writes the frame of a payload of at most 250 bytes into out (room bytes). Returns the
// frame's length, or 0 (nothing written) when the payload is too long or out too small.
uint16_t EncodeFrame(const uint8_t* payload, uint8_t length, uint8_t sequence, uint8_t* out, uint16_t room);

// The pending reply: one whole frame image whose byte 3 is the payload length, 0 when
// nothing is pending. A handler posts into it; the next tick without a command sends
// it and empties it. Replies go out with sequence byte 0: no handler writes byte 2.
#pragma once
#include <cstdint>

#include "serial/frame.h"

extern FrameBuffer ReplyBuffer;

// Writes the payload from byte 4 on, then sets the length: a new reply replaces one still
// pending. Lengths above 250 are cut to 250.
void PostReply(const uint8_t* payload, uint32_t length);

// The acknowledge reply: the command's first length bytes (6, or 10 for "E") with the
// sub-command byte replaced by status.
void PostAcknowledge(const uint8_t* command, uint32_t length, uint8_t status);

inline bool ReplyPending() { return ReplyBuffer[kLengthOffset] != 0; }

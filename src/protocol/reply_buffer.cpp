// Posting replies for the next idle tick.
#include "protocol/reply_buffer.h"

#include <cstring>

FrameBuffer ReplyBuffer = {};

void PostReply(const uint8_t* payload, uint32_t length) {
  if (length > kMaxPayload) length = kMaxPayload;
  std::memmove(ReplyBuffer + kPayloadOffset, payload, length);
  ReplyBuffer[kLengthOffset] = static_cast<uint8_t>(length);
}

void PostAcknowledge(const uint8_t* command, uint32_t length, uint8_t status) {
  uint8_t reply[16] = {};
  if (length > sizeof reply) length = sizeof reply;
  std::memcpy(reply, command, length);
  reply[2] = status;
  PostReply(reply, length);
}

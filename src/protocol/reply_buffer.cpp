// Posting replies for the next idle tick.
#include "protocol/reply_buffer.h"

#include <cstring>

FrameBuffer ReplyBuffer = {};

void PostReply(const uint8_t* payload, uint32_t length) {
  if (length > kMaxPayload) length = kMaxPayload;
  std::memmove(ReplyBuffer + kPayloadOffset, payload, length);
  ReplyBuffer[kLengthOffset] = static_cast<uint8_t>(length);
}

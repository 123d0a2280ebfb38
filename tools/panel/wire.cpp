#include "wire.h"

Bytes EncodeFrame(const Bytes& payload, uint8_t sequence) {
  if (payload.size() > kMaxFramePayload) return {};
  Bytes frame(payload.size() + kFrameOverhead);
  EncodeFrame(payload.data(), static_cast<uint8_t>(payload.size()), sequence, frame.data(),
              static_cast<uint16_t>(frame.size()));
  return frame;
}

std::optional<Frame> TakeFrame(Bytes& stream, int* broken) {
  FrameHunt hunt;
  HuntReset(&hunt);
  size_t fed = 0;
  bool whole = false;
  while (fed < stream.size() && !whole) whole = HuntByte(&hunt, stream[fed++]);
  if (broken) *broken += hunt.broken;
  if (!whole) {
    // Keep only the candidate the hunt still holds: what it dropped can begin no frame.
    stream.erase(stream.begin(), stream.begin() + static_cast<long>(fed - hunt.have));
    return std::nullopt;
  }
  Frame frame;
  frame.sequence = HuntSequence(hunt);
  frame.payload.assign(HuntPayload(hunt), HuntPayload(hunt) + HuntLength(hunt));
  // The hunt holds the last bytes fed, the frame first; what it held behind the frame
  // stays in the stream for the next call.
  const size_t frameEnd = fed - hunt.have + HuntLength(hunt) + kFrameOverhead;
  stream.erase(stream.begin(), stream.begin() + static_cast<long>(frameEnd));
  return frame;
}

std::optional<Status> DecodeStatus(const Bytes& p) {
  PanelStatus decoded;
  if (p.size() > kMaxFramePayload || !DecodeStatus(p.data(), static_cast<uint8_t>(p.size()), &decoded)) {
    return std::nullopt;
  }
  Status s;
  s.playState = decoded.playState;
  s.shuffle = decoded.shuffle;
  s.minutes = decoded.minutes;
  s.seconds = decoded.seconds;
  s.length = decoded.length;
  s.position = decoded.position;
  s.title = decoded.title;
  s.titleTerminated = decoded.titleTerminated;
  char folder[kStatusTextField];
  s.folderTerminated = StatusTextField(p.data(), kStatusFolderAt, folder);
  s.folder = folder;
  return s;
}

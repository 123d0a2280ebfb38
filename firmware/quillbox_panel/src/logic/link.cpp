#include "link.h"

#include <string.h>

#include "board_io.h"
#include "flash_text.h"

Link PanelLink;

namespace {

// The listener is a table in flash (flash_text.h): a pointer is read as it is called.
LinkListener Listener() {
  LinkListener listener;
  FlashCopy(&listener, PanelLink.listener, sizeof listener);
  return listener;
}

// A reply comes after the status frame of the tick after its command; by the status
// frame after that it is lost.
constexpr uint8_t kTicksForReply = 2;

void Send(LinkRequest* request) {
  PanelLink.tag = static_cast<uint8_t>(PanelLink.tag % 255 + 1);  // 1..255: 0 is the plug-in's own
  request->payload[kTagAt] = PanelLink.tag;
  uint8_t frame[kMaxCommandLength + kFrameOverhead];
  static_assert(sizeof frame <= kLineSendRoom, "the longest command goes out whole");
  const uint16_t size = EncodeFrame(request->payload, request->length, 0, frame, sizeof frame);
  if (size == 0 || !LineSend(frame, static_cast<uint8_t>(size))) {
    PanelLink.counters.unanswered++;
    Listener().noReply(*request);
    return;
  }
  if (request->expect == ReplyForm::None) {
    PanelLink.freeTicks = request->freeTicksAfter;
    return;
  }
  PanelLink.inFlight = *request;
  PanelLink.awaiting = true;
  PanelLink.ticksWaited = 0;
}

void Done(const LinkRequest& request) {
  PanelLink.awaiting = false;
  PanelLink.freeTicks = request.freeTicksAfter;
}

// The reply of the command in flight is overdue: ask again, or give up on it.
void ReplyLost() {
  LinkRequest& request = PanelLink.inFlight;
  PanelLink.awaiting = false;  // until it is asked again
  if (request.retries > 0) {
    request.retries--;
    PanelLink.counters.retries++;
    Send(&request);
    return;
  }
  PanelLink.counters.unanswered++;
  Listener().noReply(request);
}

// The moment a status frame has ended is the one moment a command may go out.
void OnStatusTick(bool latest) {
  if (PanelLink.awaiting && ++PanelLink.ticksWaited < kTicksForReply) return;
  if (!latest) return;
  if (PanelLink.awaiting) {
    ReplyLost();
    if (PanelLink.awaiting) return;  // asked again
  }
  if (PanelLink.freeTicks > 0) {
    PanelLink.freeTicks--;
    return;
  }
  LinkRequest next;
  if (Listener().nextRequest(&next)) Send(&next);
}

bool Answers(ReplyForm form, const uint8_t* payload) {
  if (!PanelLink.awaiting) return false;
  const ReplyForm want = PanelLink.inFlight.expect;
  if (form != want && !(want == ReplyForm::ListChunk && form == ReplyForm::ListEnd)) return false;
  const int16_t tag = EchoedTag(form, payload);
  return tag < 0 || tag == PanelLink.inFlight.payload[kTagAt];
}

void OnReply(const uint8_t* payload, uint8_t length) {
  const ReplyForm form = ClassifyReply(payload, length);
  if (form == ReplyForm::Unknown) {
    PanelLink.counters.badFrames++;
  } else if (Answers(form, payload)) {
    PanelLink.counters.replies++;
    Done(PanelLink.inFlight);
    Listener().reply(PanelLink.inFlight, payload, length);
  } else {
    PanelLink.counters.unasked++;
    Listener().unasked(payload, length);
  }
}

// latest: nothing came after the frame yet. A status frame found late, behind a broken
// one, has had its command window pass: it gives no tick.
void OnFrame(const uint8_t* payload, uint8_t length, bool latest, uint32_t nowMs) {
  if (!DecodeStatus(payload, length, &PanelLink.status)) return OnReply(payload, length);
  uint8_t n = 0;
  for (; n + 1 < kFolderShown && payload[kStatusFolderAt + n] != 0; n++) {
    PanelLink.folder[n] = static_cast<char>(payload[kStatusFolderAt + n]);
  }
  PanelLink.folder[n] = '\0';
  PanelLink.counters.statusFrames++;
  PanelLink.lastStatusMs = nowMs;
  if (!PanelLink.up) {
    PanelLink.up = true;
    Listener().linkChange(true);
  }
  Listener().status();
  OnStatusTick(latest);
}

void OnHuntedFrame(uint32_t nowMs) {
  const FrameHunt& hunt = PanelLink.hunt;
  OnFrame(HuntPayload(hunt), HuntLength(hunt), HuntFrameIsLatest(hunt), nowMs);
}

}  // namespace

void LinkReset(const LinkListener* listener) {
  memset(&PanelLink, 0, sizeof PanelLink);
  HuntReset(&PanelLink.hunt);
  PanelLink.listener = listener;
}

void LinkTakeByte(uint8_t byte, uint32_t nowMs) {
  if (!HuntByte(&PanelLink.hunt, byte)) return;
  OnHuntedFrame(nowMs);
  while (HuntNext(&PanelLink.hunt)) OnHuntedFrame(nowMs);
}

void LinkCheck(uint32_t nowMs) {
  if (!PanelLink.up || nowMs - PanelLink.lastStatusMs <= kNoLinkMs) return;
  PanelLink.up = false;
  // Whatever was in flight went with the line; the plug-in may come back as a new start.
  if (PanelLink.awaiting) {
    PanelLink.awaiting = false;
    PanelLink.counters.unanswered++;
    Listener().noReply(PanelLink.inFlight);
  }
  PanelLink.freeTicks = 0;
  Listener().linkChange(false);
}

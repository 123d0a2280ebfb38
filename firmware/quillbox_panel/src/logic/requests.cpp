#include "requests.h"

namespace {

LinkRequest Waiting[kRequestQueueSize];
uint8_t First = 0;
uint8_t Count = 0;

}  // namespace

LinkRequest MakeRequest(char letter, uint8_t sub, uint16_t index, ReplyForm expect, Purpose purpose, uint8_t retries) {
  LinkRequest r = {};
  r.length = BuildCommand(r.payload, letter, sub, index);
  r.expect = expect;
  r.retries = retries;
  r.purpose = purpose;
  return r;
}

bool QueueRequest(const LinkRequest& request) {
  if (Count == kRequestQueueSize) return false;
  Waiting[(First + Count) % kRequestQueueSize] = request;
  Count++;
  return true;
}

bool TakeQueuedRequest(LinkRequest* request) {
  if (Count == 0) return false;
  *request = Waiting[First];
  First = static_cast<uint8_t>((First + 1) % kRequestQueueSize);
  Count--;
  return true;
}

void ClearRequests() {
  First = 0;
  Count = 0;
}

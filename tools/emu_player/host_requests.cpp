// The two host messages that carry a record from the plug-in: a tag request and a
// playlist append. Both read plug-in memory with bounded lengths only.
#include <cstring>

#include "host_replies.h"
#include "player_model.h"

namespace {

constexpr uintptr_t kEnqueueKind = 100;

// The record of code 296: four 32-bit fields on the plug-in's side.
struct TagRequestRecord {
  const char* path;
  const char* tag;
  char* destination;
  uint32_t size;
};
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(TagRequestRecord) == 16);
#endif

// Copies what fits, and reports it; writes nothing when there is no room at all.
void WriteTag(const std::string& value, const TagRequestRecord& request, TextLine& details) {
  if (request.destination == nullptr || request.size == 0) {
    LineKey(details, "wrote", "");
    return;
  }
  size_t take = value.size() < request.size - 1 ? value.size() : request.size - 1;
  std::memcpy(request.destination, value.data(), take);
  request.destination[take] = '\0';
  LineKeyBounded(details, "wrote", request.destination, take);
}

}  // namespace

intptr_t TagRequestReply(uintptr_t record, TextLine& details) {
  const auto* request = reinterpret_cast<const TagRequestRecord*>(record);
  if (request == nullptr) {
    LineKey(details, "path", "");
    LineKey(details, "tag", "");
    LineKeyNumber(details, "size", 0);
    LineKey(details, "wrote", "");
    LineKeyNumber(details, "known", 0);
    return 0;
  }
  LineKey(details, "path", request->path);
  LineKey(details, "tag", request->tag);
  LineKeyNumber(details, "size", request->size);
  const TagEntry* known = nullptr;
  if (request->path != nullptr && request->tag != nullptr) {
    known = ModelFindTag(Model(), request->path, request->tag);
  }
  if (known != nullptr) {
    WriteTag(known->value, *request, details);
  } else {
    LineKey(details, "wrote", "");
  }
  LineKeyNumber(details, "known", known != nullptr ? 1 : 0);
  return 1;
}

intptr_t MainCopyData(uintptr_t kind, const char* data, uint32_t size, TextLine& details) {
  LineKeyNumber(details, "data", static_cast<uint32_t>(kind));
  size_t length = data != nullptr ? strnlen(data, size) : 0;
  LineKeyBounded(details, "path", data, length);
  if (kind != kEnqueueKind || data == nullptr || length == size) return 0;
  if (!ModelAppend(Model(), data, length)) return 0;
  Model().changed = 1;
  return 1;
}

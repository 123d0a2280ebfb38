#include "player_model.h"

#include <cstring>

namespace {

PlayerModel g_model;

bool SameTagName(const std::string& stored, const char* name) {
  size_t length = std::strlen(name);
  if (stored.size() != length) return false;
  for (size_t i = 0; i < length; ++i) {
    unsigned char a = static_cast<unsigned char>(stored[i]);
    unsigned char b = static_cast<unsigned char>(name[i]);
    if (a >= 'a' && a <= 'z') a = static_cast<unsigned char>(a - 'a' + 'A');
    if (b >= 'a' && b <= 'z') b = static_cast<unsigned char>(b - 'a' + 'A');
    if (a != b) return false;
  }
  return true;
}

// The tag's index, or the number of tags when the player knows nothing of it.
size_t TagIndex(const PlayerModel& model, const char* path, const char* name) {
  size_t index = 0;
  for (; index < model.tags.size(); ++index) {
    const TagEntry& entry = model.tags[index];
    if (entry.path == path && SameTagName(entry.name, name)) break;
  }
  return index;
}

void ClampPosition(PlayerModel& model) {
  if (model.position >= model.length) model.position = model.length > 0 ? model.length - 1 : 0;
  if (model.position < 0) model.position = 0;
}

}  // namespace

PlayerModel& Model() { return g_model; }

bool ModelAppend(PlayerModel& model, const char* path, size_t length) {
  if (length >= kPathCapacity || model.length >= kMaxEntries) return false;
  char* slot = model.entries[model.length];
  std::memcpy(slot, path, length);
  slot[length] = '\0';
  ++model.length;
  return true;
}

void ModelClear(PlayerModel& model) {
  model.length = 0;
  model.position = 0;
}

bool ModelDelete(PlayerModel& model, int32_t index) {
  if (index < 0 || index >= model.length) return false;
  size_t after = static_cast<size_t>(model.length - index - 1);
  std::memmove(model.entries[index], model.entries[index + 1], after * kPathCapacity);
  --model.length;
  if (index < model.position) --model.position;
  ClampPosition(model);
  return true;
}

bool ModelSwap(PlayerModel& model, int32_t a, int32_t b) {
  if (a < 0 || b < 0 || a >= model.length || b >= model.length) return false;
  char keep[kPathCapacity];
  std::memcpy(keep, model.entries[a], kPathCapacity);
  std::memcpy(model.entries[a], model.entries[b], kPathCapacity);
  std::memcpy(model.entries[b], keep, kPathCapacity);
  return true;
}

const char* ModelEntry(const PlayerModel& model, int32_t index) {
  if (index < 0 || index >= model.length) return nullptr;
  return model.entries[index];
}

bool ModelSetIni(PlayerModel& model, const char* path) {
  size_t length = std::strlen(path);
  if (length >= kPathCapacity) return false;
  std::memcpy(model.iniPath, path, length + 1);
  return true;
}

bool ModelSetTag(PlayerModel& model, const char* path, const char* name, const char* value) {
  if (std::strlen(path) >= kPathCapacity || std::strlen(name) >= kTagNameCapacity ||
      std::strlen(value) >= kTagValueCapacity) {
    return false;
  }
  size_t index = TagIndex(model, path, name);
  if (index < model.tags.size()) {
    model.tags[index].value = value;
    return true;
  }
  if (model.tags.size() >= kMaxTags) return false;
  model.tags.push_back(TagEntry{path, name, value});
  return true;
}

const TagEntry* ModelFindTag(const PlayerModel& model, const char* path, const char* name) {
  size_t index = TagIndex(model, path, name);
  return index < model.tags.size() ? &model.tags[index] : nullptr;
}

void ModelForgetTags(PlayerModel& model, const char* path) {
  std::erase_if(model.tags, [path](const TagEntry& entry) { return entry.path == path; });
}

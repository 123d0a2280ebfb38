// The emulated player's state: playlist, transport, tags and settings path.
// Touched only on the main thread, like the real player's own state.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr size_t kPathCapacity = 260;  // 259 characters and the terminator
constexpr int32_t kMaxEntries = 5000;
constexpr size_t kMaxTags = 2000;
constexpr size_t kTagNameCapacity = 64;
constexpr size_t kTagValueCapacity = 1024;

struct TagEntry {
  std::string path;
  std::string name;
  std::string value;
};

struct PlayerModel {
  // Fixed slots, never reallocated: an entry address handed to the plug-in keeps
  // pointing at readable memory even if the plug-in holds it past a change.
  char entries[kMaxEntries][kPathCapacity] = {};
  int32_t length = 0;
  int32_t position = 0;
  int32_t state = 0;
  int32_t elapsedMs = -1;
  int32_t trackSeconds = 0;
  int32_t shuffle = 0;
  int32_t volume = 255;
  int32_t changed = 0;
  char iniPath[kPathCapacity] = {};  // empty: no settings file known
  std::vector<TagEntry> tags;
};

PlayerModel& Model();

bool ModelAppend(PlayerModel& model, const char* path, size_t length);
void ModelClear(PlayerModel& model);
bool ModelDelete(PlayerModel& model, int32_t index);
bool ModelSwap(PlayerModel& model, int32_t a, int32_t b);
const char* ModelEntry(const PlayerModel& model, int32_t index);  // null when out of range
bool ModelSetIni(PlayerModel& model, const char* path);

bool ModelSetTag(PlayerModel& model, const char* path, const char* name, const char* value);
const TagEntry* ModelFindTag(const PlayerModel& model, const char* path, const char* name);
void ModelForgetTags(PlayerModel& model, const char* path);

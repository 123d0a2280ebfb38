// File information as the player's media library gives it: the LibraryItem record's
// field 8 gets the length in seconds and field 9 the address of a list of texts, each
// "NAME", NUL, "value", NUL, the list ending with a null address. The list is the
// player's memory until the plug-in releases it with the same record.
#include "file_info.h"

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "command_table.h"
#include "guarded_memory.h"
#include "player_clock.h"

namespace {

constexpr intptr_t kFileInfo = 0x200;
constexpr intptr_t kFileInfoRelease = 0x201;

// The plug-in's record: ten 32-bit fields.
struct ItemRecord {
  const char* path;
  const char* title;
  int32_t unused[6];
  int32_t lengthSeconds;
  char** extendedInfo;
};
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(ItemRecord) == 40);
#endif

struct FileInfo {
  int32_t seconds;
  std::vector<std::string> texts;  // "NAME" NUL "value"
};

std::map<std::string, FileInfo> Known;
std::map<char**, uintptr_t> HandedOut;  // each live list and the record it went into
uint32_t DoubleReleases = 0;
uint32_t OtherRecordReleases = 0;

// One guarded block: the address array first, then the texts.
char** BuildList(const FileInfo& info) {
  size_t size = (info.texts.size() + 1) * sizeof(char*);
  for (const std::string& text : info.texts) size += text.size() + 1;
  auto** list = static_cast<char**>(GuardedAllocate(size));
  if (list == nullptr) return nullptr;
  char* next = reinterpret_cast<char*>(list + info.texts.size() + 1);
  for (size_t i = 0; i < info.texts.size(); i++) {
    std::memcpy(next, info.texts[i].data(), info.texts[i].size() + 1);
    list[i] = next;
    next += info.texts[i].size() + 1;
  }
  list[info.texts.size()] = nullptr;
  return list;
}

intptr_t FillItem(ItemRecord* item, TextLine& details) {
  const char* path = item->path;
  LineKeyBounded(details, "path", path, kFieldLimit);
  const auto known = path != nullptr ? Known.find(std::string(path, strnlen(path, kFieldLimit))) : Known.end();
  LineKeyNumber(details, "known", known != Known.end() ? 1 : 0);
  if (known == Known.end()) return 0;  // not in the library: the record is left as it came
  item->lengthSeconds = known->second.seconds;
  item->extendedInfo = BuildList(known->second);
  if (item->extendedInfo != nullptr) HandedOut[item->extendedInfo] = reinterpret_cast<uintptr_t>(item);
  LineKeyNumber(details, "elements", static_cast<int64_t>(known->second.texts.size()));
  return 1;
}

// What was wrong with a release, or null when nothing was.
const char* ReleaseItem(const ItemRecord* item) {
  char** list = item->extendedInfo;
  if (list == nullptr) return nullptr;  // nothing was handed out
  const auto live = HandedOut.find(list);
  if (live == HandedOut.end()) {
    const BlockState before = GuardedRelease(list);
    if (before == BlockState::Released) DoubleReleases++;
    return before == BlockState::Released ? "double-release" : "unknown-list";
  }
  const bool sameRecord = live->second == reinterpret_cast<uintptr_t>(item);
  if (!sameRecord) OtherRecordReleases++;
  HandedOut.erase(live);
  GuardedRelease(list);
  return sameRecord ? nullptr : "other-record";
}

intptr_t ReleaseItemLogged(const ItemRecord* item, TextLine& details) {
  LineKeyBounded(details, "path", item->path, kFieldLimit);
  const char* misuse = ReleaseItem(item);
  if (misuse != nullptr) LineKey(details, "misuse", misuse);
  return 0;
}

}  // namespace

intptr_t LibraryFileMessage(uintptr_t record, intptr_t code, TextLine& details) {
  auto* item = reinterpret_cast<ItemRecord*>(record);
  if (item == nullptr || (code != kFileInfo && code != kFileInfoRelease)) return 0;
  return code == kFileInfo ? FillItem(item, details) : ReleaseItemLogged(item, details);
}

void RememberFileInfo(const std::string& path, int32_t seconds,
                      const std::vector<std::pair<std::string, std::string>>& values) {
  FileInfo info = {seconds, {}};
  for (const auto& [name, value] : values) info.texts.push_back(name + '\0' + value);
  Known[path] = info;
}

int32_t KnownTrackSeconds(const char* path) {
  const auto known = Known.find(path);
  return known != Known.end() ? known->second.seconds : -1;
}

void CommandInfo(char** fields, int count) {
  FileInfo info = {};
  if (!ParseInt32(fields[2], &info.seconds)) {
    EmitError("info bad seconds");
    return;
  }
  for (int i = 3; i < count; i++) {
    char* equals = std::strchr(fields[i], '=');
    if (equals == nullptr || equals == fields[i]) {
      EmitError("info expects NAME=value");
      return;
    }
    std::string text(fields[i]);
    text[static_cast<size_t>(equals - fields[i])] = '\0';
    info.texts.push_back(text);
  }
  Known[fields[1]] = info;
  EmitOk("info");
}

void CommandMisuse(char**, int) {
  TextLine line;
  LineBegin(line, "misuse");
  LineKeyNumber(line, "use-after-release", GuardedUseAfterRelease());
  LineKeyNumber(line, "double-release", DoubleReleases);
  LineKeyNumber(line, "other-record", OtherRecordReleases);
  LineKeyNumber(line, "unreleased", static_cast<int64_t>(HandedOut.size()));
  EmitLine(line);
}

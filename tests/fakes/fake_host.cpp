// The fake player: each catalogue procedure records itself and acts on the model.
#include "fakes/fake_host.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>

#include "fakes/copy_text.h"
#include "host/host_catalogue.h"

FakeHost Host;

void ResetFakeHost() {
  CallLog calls = std::move(Host.calls);
  Host = FakeHost();
  calls.clear();
  Host.calls = std::move(calls);
}

std::vector<std::string> FakeHost::CallsStartingWith(const std::string& prefix) const {
  std::vector<std::string> found;
  for (const std::string& c : calls) {
    if (c.compare(0, prefix.size(), prefix) == 0) found.push_back(c);
  }
  return found;
}

namespace {

// Written into the record's next line, whose memory an earlier line may have left.
void Record(std::string_view call, std::string_view rest = {}) { Host.calls.Add().append(call).append(rest); }

void See(const char* call, const char* path) {
  if (Host.onPath) Host.onPath(call, path);
}
std::string Num(int64_t n) { return std::to_string(n); }
int32_t Length() { return static_cast<int32_t>(Host.files.size()); }
bool ValidIndex(int32_t i) { return i >= 0 && i < Length(); }

// Like the player: writes nothing when it knows no such tag.
void WriteTag(const std::string* value, char* destination, uint32_t size) {
  if (value == nullptr || size == 0) return;
  CopyText(destination, size, value->c_str());
}

// "name\0value\0" texts behind an array of their addresses that ends with a null one.
char** NewInfoList(const FakeFileInfo& info) {
  char** list = new char*[info.extended.size() + 1];
  size_t i = 0;
  for (const auto& [name, value] : info.extended) {
    list[i] = new char[name.size() + value.size() + 2];
    std::memcpy(list[i], name.c_str(), name.size() + 1);
    std::memcpy(list[i] + name.size() + 1, value.c_str(), value.size() + 1);
    i++;
  }
  list[i] = nullptr;
  return list;
}

void DeleteInfoList(char** list) {
  for (char** element = list; *element != nullptr; element++) delete[] *element;
  delete[] list;
}

}  // namespace

void HostClearPlaylist() { Record("101"); Host.files.clear(); Host.changed = 1; }
int32_t HostPlayState() { Record("104"); return Host.playState; }
int32_t HostElapsedMs() { Record("105 0"); return Host.elapsedMs; }
int32_t HostTrackSeconds() { Record("105 1"); return Host.trackSeconds; }
void HostSetPlaylistPosition(int32_t index) { Record("121 ", Num(index)); Host.position = index; }
void HostSetVolume(int32_t volume) { Record("122 ", Num(volume)); Host.volume = volume; }
int32_t HostPlaylistLength() { Record("124"); return Host.reportedLength.value_or(Length()); }
int32_t HostPlaylistPosition() { Record("125"); return Host.position; }
const char* HostPlaylistFile(int32_t index) {
  Record("211 ", Num(index));
  return ValidIndex(index) ? Host.files[static_cast<size_t>(index)].c_str() : nullptr;
}
int32_t HostShuffle() { Record("250"); return Host.shuffle; }
void HostSetShuffle(int32_t on) { Record("252 ", Num(on)); Host.shuffle = on; }
void HostLocatePlaylistWindow() { Record("260"); }

void HostGetTag(const char* path, const char* tag, char* destination, uint32_t size) {
  See("296", path);
  char number[16];
  const char* end = std::to_chars(number, number + sizeof number, size).ptr;
  std::string& call = Host.calls.Add();
  call.append("296 ").append(path ? path : "(null)").append(" ").append(tag).append(" ");
  call.append(number, static_cast<size_t>(end - number));
  if (path == nullptr) return;
  if (std::strcmp(tag, "TITLE") == 0) {
    auto it = Host.titles.find(std::string_view(path));
    WriteTag(it == Host.titles.end() ? nullptr : &it->second, destination, size);
    return;
  }
  auto it = Host.tags.find(std::string(path) + "|" + tag);
  WriteTag(it == Host.tags.end() ? nullptr : &it->second, destination, size);
}

const char* HostIniPath() { Record("334"); return Host.iniPath; }
void HostPress(HostButton button) { Record("press ", Num(button)); }
void HostEnqueueFile(const char* path) {
  See("copydata", path);
  Record("copydata ", path);
  Host.files.push_back(path);
  Host.changed = 1;
}

void HostDeletePlaylistEntry(int32_t index) {
  Record("delete ", Num(index));
  if (ValidIndex(index)) Host.files.erase(Host.files.begin() + index);
  Host.changed = 1;
}
void HostSwapPlaylistEntries(int32_t a, int32_t b) {
  Record("swap ", Num(a) + " " + Num(b));
  if (ValidIndex(a) && ValidIndex(b)) std::swap(Host.files[static_cast<size_t>(a)], Host.files[static_cast<size_t>(b)]);
  Host.changed = 1;
}
int32_t HostPlaylistChanged() { Record("107"); return Host.changed; }
void HostMarkPlaylistClean() { Record("108"); Host.changed = 0; }

void HostFileInfo(LibraryItem* item) {
  See("0x200", item->path);
  Record("library 0x200 ", item->path ? item->path : "(null)");
  auto known = Host.fileInfo.find(std::string_view(item->path ? item->path : ""));
  if (known == Host.fileInfo.end()) return;
  item->lengthSeconds = known->second.seconds;
  item->extendedInfo = NewInfoList(known->second);
  Host.infoLists[item->extendedInfo] = item;
}

void HostFileInfoRelease(LibraryItem* item) {
  Record("library 0x201 ", item->path ? item->path : "(null)");
  if (item->extendedInfo == nullptr) return;
  auto live = Host.infoLists.find(item->extendedInfo);
  if (live == Host.infoLists.end()) {
    Host.infoMisuse.push_back("double release");
    return;
  }
  if (live->second != item) Host.infoMisuse.push_back("released with another record");
  DeleteInfoList(live->first);
  Host.infoLists.erase(live);
}

namespace {

// The array and texts of the search not yet released, from the heap: under the
// sanitizers any read of them after the release is a use after free.
LibraryItem* LiveResults = nullptr;
size_t LiveCount = 0;

FakeHost::QueryFields Fields(const LibraryQuery* q) {
  return {q, q->query ? q->query : "(null)", q->maxResults, q->results, q->resultCount, q->allocated};
}

char* HeapText(const std::optional<std::string>& text) { return text ? strdup(text->c_str()) : nullptr; }

void FreeLive() {
  for (size_t j = 0; j < LiveCount; j++) {
    std::free(const_cast<char*>(LiveResults[j].path));
    std::free(const_cast<char*>(LiveResults[j].title));
  }
  delete[] LiveResults;
  LiveResults = nullptr;
  LiveCount = 0;
}

}  // namespace

int32_t HostLibrarySearch(LibraryQuery* query) {
  Record("library 0x701 ", query->query ? query->query : "(null)");
  Host.searches.push_back(Fields(query));
  if (Host.searchAnswer == 0) return 0;
  FreeLive();
  size_t n = Host.results.size();
  if (!Host.ignoreLimit && query->maxResults >= 0 && n > static_cast<size_t>(query->maxResults)) n = static_cast<size_t>(query->maxResults);
  LiveResults = new LibraryItem[n > 0 ? n : 1]();
  LiveCount = n;
  for (size_t j = 0; j < n; j++) {
    LiveResults[j].path = HeapText(Host.results[j].path);
    LiveResults[j].title = HeapText(Host.results[j].title);
  }
  query->results = LiveResults;
  query->resultCount = Host.reportedCount.value_or(static_cast<int32_t>(n));
  query->allocated = Host.reportedAllocated.value_or(static_cast<int32_t>(n));
  return Host.searchAnswer;
}

void HostLibraryRelease(LibraryQuery* query) {
  Record("library 0x705");
  Host.releases.push_back(Fields(query));
  if (LiveResults == nullptr || query->results != LiveResults) {
    Host.releaseMisuses++;
    return;
  }
  FreeLive();
}

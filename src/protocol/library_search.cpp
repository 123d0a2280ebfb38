// Running a search in the player's media library.
#include "protocol/library_search.h"

#include <cstring>

#include "base/bounded_text.h"
#include "browse/slot_tables.h"
#include "host/host_catalogue.h"
#include "protocol/command_reader.h"

namespace {

void StoreText(char* slot, const char* text) {
  std::memset(slot, 0, kSlotSize);
  if (text != nullptr) CopyBounded(slot, kSlotSize, text, kSlotSize - 1);
}

// What the player says it found, as far as the plug-in can trust it: never below 0,
// never above the 500 it asked for nor the size it gave the array, and nothing at all
// without an array to read.
uint32_t UsableResultCount(const LibraryQuery& query) {
  if (query.results == nullptr) return 0;
  const uint32_t count = ListBound(query.resultCount);
  if (query.allocated <= 0) return count;  // no size given: the count is all there is
  const uint32_t size = ListBound(query.allocated);
  return count < size ? count : size;
}

}  // namespace

void CopySearchResults(const LibraryItem* results, uint32_t count) {
  for (uint32_t j = 0; j < count; j++) {
    StoreText(LibraryTitles[j], results[j].title);
    StoreText(LibraryPaths[j], results[j].path);
  }
}

int32_t SearchLibrary(const char* query) {
  LibraryQuery search = {query, static_cast<int32_t>(kMaxListEntries), nullptr, 0, 0};
  if (HostLibrarySearch(&search) == 0) return -1;
  const uint32_t count = UsableResultCount(search);
  CopySearchResults(search.results, count);
  HostLibraryRelease(&search);
  return static_cast<int32_t>(count);
}

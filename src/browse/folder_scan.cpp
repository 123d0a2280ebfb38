// Lists a folder of the music collection into the browse lists; what each entry
// becomes is decided in folder_entry.cpp.
#include "browse/folder_browser.h"
#include "browse/folder_entry.h"
#include "browse/slot_tables.h"
#include "files/file_system.h"

namespace {

// Runs the listing from its first entry until its end or 500 entries: 1, or 0 when the
// listing failed other than by running out of entries.
int ListEntries(FolderListing* listing, ListedEntry* entry, const char* folder,
                const char* const* extensions, uint32_t extensionCount,
                char* const* names, char* const* titles, uint32_t* count) {
  while (*count < kSlotCount) {
    if (ListFolderEntry(folder, entry->name, entry->attributes, extensions, extensionCount, names, titles,
                        *count)) {
      (*count)++;
    }
    const int next = ListingNext(listing, entry);
    if (next <= 0) return next == 0 ? 1 : 0;
  }
  return 1;
}

}  // namespace

int ScanFolder(const char* folder, const char* const* extensions, uint32_t extensionCount,
               char* const* names, char* const* titles, uint32_t* count) {
  if (folder == nullptr || names == nullptr || titles == nullptr || count == nullptr) return 0;
  if (*count > kSlotCount) return 0;
  ClearBrowseSlots(names, titles, *count);
  // A folder too long for the pattern cannot be listed: a cut pattern would list another.
  char pattern[kEntryPathSize];
  if (!FormatSearchPattern(pattern, folder)) return 0;
  ListedEntry entry;
  FolderListing* listing = ListingStart(pattern, &entry);
  if (listing == nullptr) return 0;
  const int result = ListEntries(listing, &entry, folder, extensions, extensionCount, names, titles, count);
  ListingEnd(listing);
  return result;
}

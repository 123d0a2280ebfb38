// Lists a folder of the music collection into the browse lists with the Win32 listing
// calls; what each entry becomes is decided in folder_entry.cpp.
#include <windows.h>

#include "browse/folder_browser.h"
#include "browse/folder_entry.h"
#include "browse/slot_tables.h"

namespace {

// Runs the listing from its first entry until its end or 500 entries: 1, or 0 when the
// listing failed other than by running out of entries.
int ListEntries(HANDLE listing, WIN32_FIND_DATAA* entry, const char* folder,
                const char* const* extensions, uint32_t extensionCount,
                char* const* names, char* const* titles, uint32_t* count) {
  while (*count < kSlotCount) {
    entry->cFileName[MAX_PATH - 1] = '\0';
    if (ListFolderEntry(folder, entry->cFileName, entry->dwFileAttributes, extensions, extensionCount,
                        names, titles, *count)) {
      (*count)++;
    }
    if (!FindNextFileA(listing, entry)) return GetLastError() == ERROR_NO_MORE_FILES ? 1 : 0;
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
  WIN32_FIND_DATAA entry;
  HANDLE listing = FindFirstFileA(pattern, &entry);
  if (listing == INVALID_HANDLE_VALUE) return 0;
  const int result = ListEntries(listing, &entry, folder, extensions, extensionCount, names, titles, count);
  FindClose(listing);
  return result;
}

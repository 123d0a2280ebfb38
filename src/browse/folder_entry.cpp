// The per-entry rules of a folder scan.
//
// Hidden and system entries are never shown. A folder is listed unless its name begins
// with "."; such a folder, and "." and "..", go through the file rules instead. A file is
// listed when its extension is playable; its title comes from the player, or is the file
// name when the player knows none or when it is a playlist (M3U, PL), whose title tags
// say nothing about the list.
#include "browse/folder_entry.h"

#include <cstdio>
#include <cstring>

#include "base/ascii_text.h"
#include "browse/folder_browser.h"
#include "browse/slot_tables.h"
#include "host/host_catalogue.h"

uint32_t BrowseCount = 0;

namespace {

bool IsPlaylistExtension(const char* extension) {
  return EqualIgnoringAsciiCase(extension, "M3U") || EqualIgnoringAsciiCase(extension, "PL");
}

// Writes prefix and text into a slot whose other bytes end zero. 0, with the slot
// empty, when they would not fit: a cut name would name another entry.
int PutSlot(char* slot, const char* prefix, const char* text) {
  std::memset(slot, 0, kSlotSize);
  if (std::strlen(prefix) + std::strlen(text) > kSlotSize - 1) return 0;
  std::snprintf(slot, kSlotSize, "%s%s", prefix, text);
  return 1;
}

int ListFolder(const char* name, char* nameSlot, char* titleSlot) {
  if (!PutSlot(nameSlot, "\\", name)) return 0;
  PutSlot(titleSlot, "\\", name);
  return 1;
}

int ListFile(const char* folder, const char* name, const char* extension, char* nameSlot, char* titleSlot) {
  char path[kEntryPathSize];
  const int length = std::snprintf(path, sizeof path, "%s%s", folder, name);
  // A path cut to the buffer would ask about, and later play or move, another file; one
  // longer than MAX_PATH the player cannot take.
  if (length < 0 || static_cast<size_t>(length) >= sizeof path) return 0;
  if (!PutSlot(nameSlot, "", name)) return 0;
  std::memset(titleSlot, 0, kSlotSize);
  HostGetTag(path, "TITLE", titleSlot, kSlotSize);
  titleSlot[kSlotSize - 1] = '\0';  // whatever the player wrote, the slot stays a string
  if (titleSlot[0] == '\0' || IsPlaylistExtension(extension)) PutSlot(titleSlot, "", name);
  return 1;
}

}  // namespace

int32_t MatchExtension(const char* name, const char* const* extensions, uint32_t extensionCount) {
  const char* dot = std::strrchr(name, '.');
  if (dot == nullptr || extensions == nullptr) return -1;
  const uint32_t n = extensionCount < kExtensionSlots ? extensionCount : kExtensionSlots;
  for (uint32_t i = 0; i < n; i++) {
    if (EqualIgnoringAsciiCase(dot + 1, extensions[i])) return static_cast<int32_t>(i);
  }
  return -1;
}

int ListFolderEntry(const char* folder, const char* name, uint32_t attributes,
                    const char* const* extensions, uint32_t extensionCount,
                    char* const* names, char* const* titles, uint32_t index) {
  if (index >= kSlotCount) return 0;
  if ((attributes & (kAttributeHidden | kAttributeSystem)) != 0) return 0;
  if ((attributes & kAttributeDirectory) != 0 && name[0] != '.') return ListFolder(name, names[index], titles[index]);
  const int32_t match = MatchExtension(name, extensions, extensionCount);
  if (match < 0) return 0;
  return ListFile(folder, name, extensions[match], names[index], titles[index]);
}

// Slots follow each other in their table's one block, so the rest of each table is one run.
void ClearBrowseSlots(char* const* names, char* const* titles, uint32_t from) {
  if (from >= kSlotCount) return;
  const size_t rest = static_cast<size_t>(kSlotCount - from) * kSlotSize;
  std::memset(names[from], 0, rest);
  std::memset(titles[from], 0, rest);
}

int FormatSearchPattern(char (&pattern)[kEntryPathSize], const char* folder) {
  const int length = std::snprintf(pattern, sizeof pattern, "%s*.*", folder);
  return length >= 0 && static_cast<size_t>(length) < sizeof pattern;
}

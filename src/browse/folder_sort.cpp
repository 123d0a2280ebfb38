// The folders-first order of the browse lists.
//
// The entries are copied, folders first and then files, each group in listing order,
// into a scratch table made for the call, and copied back over the table's first slots;
// the slots after them are emptied. Each copy is a whole slot, so no byte of the scratch
// table is read that was not written: a fresh block need not be cleared first, and its
// untouched pages are never touched.
#include <cstdlib>
#include <cstring>

#include "browse/folder_browser.h"
#include "browse/slot_tables.h"

namespace {

bool IsFolderEntry(const char* entry) { return entry[0] == '\\'; }

// Appends, in index order, the slots of table whose key is (or is not) a folder entry;
// returns the next free scratch slot.
size_t CopyGroup(char* scratch, size_t next, const char* const* table, uint32_t count,
                 const char* const* keys, bool folders) {
  for (uint32_t i = 0; i < count; i++) {
    if (IsFolderEntry(keys[i]) != folders) continue;
    std::memcpy(scratch + next * kSlotSize, table[i], kSlotSize);
    next++;
  }
  return next;
}

// Fills the first count slots of scratch with those of table, in the order of keys.
void OrderInto(char* scratch, const char* const* table, uint32_t count, const char* const* keys) {
  const size_t files = CopyGroup(scratch, 0, table, count, keys, true);
  CopyGroup(scratch, files, table, count, keys, false);
}

// The table's slots lie in one block that starts at slot 0, as the scratch table's do.
void CopyBack(char* const* table, uint32_t count, const char* scratch) {
  const size_t used = static_cast<size_t>(count) * kSlotSize;
  std::memcpy(table[0], scratch, used);
  std::memset(table[0] + used, 0, kSlotBlockSize - used);
}

void Reorder(char* const* table, uint32_t count, const char* const* keys, char* scratch) {
  OrderInto(scratch, table, count, keys);
  CopyBack(table, count, scratch);
}

char* NewScratch() { return static_cast<char*>(SlotAllocate(kSlotBlockSize)); }

}  // namespace

int SortFoldersFirst(char* const* table, uint32_t count) { return SortFoldersFirst(table, count, table); }

int SortFoldersFirst(char* const* table, uint32_t count, const char* const* keys) {
  if (table == nullptr || keys == nullptr || count > kSlotCount) return 0;
  if (count == 0) return 1;
  char* scratch = NewScratch();
  if (scratch == nullptr) return 0;
  Reorder(table, count, keys, scratch);
  std::free(scratch);
  return 1;
}

int SortBrowseListsFoldersFirst(char* const* names, char* const* titles, uint32_t count) {
  if (names == nullptr || titles == nullptr || count > kSlotCount) return 0;
  if (count == 0) return 1;
  // One scratch table for both, so that a lack of memory leaves both in listing order.
  char* scratch = NewScratch();
  if (scratch == nullptr) return 0;
  Reorder(titles, count, names, scratch);  // the titles first, while the names are still the keys
  Reorder(names, count, names, scratch);
  std::free(scratch);
  return 1;
}

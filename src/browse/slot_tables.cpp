// Creation and release of the six slot tables.
#include "browse/slot_tables.h"

#include <cstdlib>
#include <cstring>

SlotTable ExtensionTable = nullptr;
SlotTable BrowseNames = nullptr;
SlotTable BrowseTitles = nullptr;
SlotTable PlaylistTitles = nullptr;
SlotTable LibraryPaths = nullptr;
SlotTable LibraryTitles = nullptr;

namespace {

void* HeapAllocate(size_t size) { return std::malloc(size); }

// Makes one table: the address array, then the block, zero-filled and cut into slots.
// On a failed block the array goes again, so a table either exists whole or not at all.
int CreateTable(SlotTable* table, uint32_t slots, uint32_t slotSize) {
  if (*table != nullptr) {
    std::memset((*table)[0], 0, static_cast<size_t>(slots) * slotSize);
    return 1;
  }
  SlotTable addresses = static_cast<SlotTable>(SlotAllocate(slots * sizeof(char*)));
  if (addresses == nullptr) return 0;
  char* block = static_cast<char*>(SlotAllocate(static_cast<size_t>(slots) * slotSize));
  if (block == nullptr) {
    std::free(addresses);
    return 0;
  }
  std::memset(block, 0, static_cast<size_t>(slots) * slotSize);
  for (uint32_t k = 0; k < slots; k++) addresses[k] = block + static_cast<size_t>(k) * slotSize;
  *table = addresses;
  return 1;
}

void FreeTable(SlotTable* table) {
  if (*table == nullptr) return;
  std::free((*table)[0]);
  std::free(*table);
  *table = nullptr;
}

}  // namespace

SlotAllocator SlotAllocate = HeapAllocate;

int CreateSlotTables() {
  return CreateTable(&ExtensionTable, kExtensionSlots, kExtensionSlotSize) &&
         CreateTable(&BrowseNames, kSlotCount, kSlotSize) &&
         CreateTable(&BrowseTitles, kSlotCount, kSlotSize) &&
         CreateTable(&PlaylistTitles, kSlotCount, kSlotSize) &&
         CreateTable(&LibraryPaths, kSlotCount, kSlotSize) &&
         CreateTable(&LibraryTitles, kSlotCount, kSlotSize);
}

int FreeSlotTables() {
  FreeTable(&BrowseNames);
  FreeTable(&BrowseTitles);
  FreeTable(&ExtensionTable);
  FreeTable(&PlaylistTitles);
  FreeTable(&LibraryPaths);
  FreeTable(&LibraryTitles);
  return 1;
}

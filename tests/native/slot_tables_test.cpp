// The six slot tables: their layout, their creation in order and their release.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "browse/slot_tables.h"

namespace {

SlotTable* const kAllTables[] = {&ExtensionTable, &BrowseNames, &BrowseTitles, &PlaylistTitles, &LibraryPaths, &LibraryTitles};

// Lets the first `allowed` allocations through and fails every later one.
int AllocationsAllowed = 0;
void* FailingLater(size_t size) {
  if (AllocationsAllowed == 0) return nullptr;
  AllocationsAllowed--;
  return std::malloc(size);
}

class SlotTables : public ::testing::Test {
 protected:
  void SetUp() override { FreeSlotTables(); }
  void TearDown() override {
    FreeSlotTables();
    SlotAllocate = saved;
  }
  SlotAllocator saved = SlotAllocate;
};

bool BlockIsZero(const char* block, size_t size) {
  for (size_t i = 0; i < size; i++) {
    if (block[i] != 0) return false;
  }
  return true;
}

TEST_F(SlotTables, EverySlotIsEmptyAndInItsPlaceAfterCreation) {
  ASSERT_EQ(CreateSlotTables(), 1);
  for (SlotTable* table : kAllTables) {
    const bool extensions = table == &ExtensionTable;
    const uint32_t slots = extensions ? kExtensionSlots : kSlotCount;
    const uint32_t size = extensions ? kExtensionSlotSize : kSlotSize;
    ASSERT_NE(*table, nullptr);
    // a block not zero-filled would show old heap bytes as list entries
    EXPECT_TRUE(BlockIsZero((*table)[0], static_cast<size_t>(slots) * size));
    // a wrong stride would make slots overlap or run past the block
    for (uint32_t k = 0; k < slots; k++) ASSERT_EQ((*table)[k], (*table)[0] + static_cast<size_t>(k) * size) << k;
  }
  // the last slot starts 249500 bytes in and its last byte is the block's last byte
  EXPECT_EQ(BrowseNames[499] - BrowseNames[0], 249500);
  BrowseNames[499][kSlotSize - 1] = 'z';
  EXPECT_EQ(BrowseNames[0][kSlotBlockSize - 1], 'z');
  // the last extension slot starts 1990 bytes in
  EXPECT_EQ(ExtensionTable[199] - ExtensionTable[0], 1990);
}

TEST_F(SlotTables, AFullSlotLeavesTheNextOneAlone) {
  ASSERT_EQ(CreateSlotTables(), 1);
  for (uint32_t k : {0u, 17u, 498u}) {
    std::snprintf(PlaylistTitles[k + 1], kSlotSize, "%s", "next");
    const std::string longest(kSlotSize - 1, 'a');
    std::snprintf(PlaylistTitles[k], kSlotSize, "%s", longest.c_str());
    // a 499-character string with its NUL must end inside its own slot
    EXPECT_STREQ(PlaylistTitles[k + 1], "next") << k;
    EXPECT_EQ(std::strlen(PlaylistTitles[k]), kSlotSize - 1);
  }
}

TEST_F(SlotTables, AFailedAllocationStopsCreationAndKeepsEarlierTables) {
  // The third table's address array is the fifth allocation, its block the sixth.
  for (int allowed : {4, 5}) {
    SlotAllocate = FailingLater;
    AllocationsAllowed = allowed;
    // a failure must not be reported as success
    EXPECT_EQ(CreateSlotTables(), 0) << allowed;
    // tables made before the failure stay for quit to free
    EXPECT_NE(ExtensionTable, nullptr);
    EXPECT_NE(BrowseNames, nullptr);
    // a half-made table or a later one would be used or freed as if whole
    EXPECT_EQ(BrowseTitles, nullptr);
    EXPECT_EQ(PlaylistTitles, nullptr);
    EXPECT_EQ(LibraryPaths, nullptr);
    EXPECT_EQ(LibraryTitles, nullptr);
    FreeSlotTables();  // LeakSanitizer reports the array of a failed block if it stayed
  }
  // the very first allocation failing leaves nothing at all
  AllocationsAllowed = 0;
  EXPECT_EQ(CreateSlotTables(), 0);
  for (SlotTable* table : kAllTables) EXPECT_EQ(*table, nullptr);
}

TEST_F(SlotTables, ReleaseToleratesWhateverCreationLeft) {
  // quit after an init that never reached the tables
  EXPECT_EQ(FreeSlotTables(), 1);
  // quit called twice must not free twice
  ASSERT_EQ(CreateSlotTables(), 1);
  EXPECT_EQ(FreeSlotTables(), 1);
  EXPECT_EQ(FreeSlotTables(), 1);
  for (SlotTable* table : kAllTables) EXPECT_EQ(*table, nullptr);
  // a hundred start and quit cycles in one process: no leak, no stale address
  for (int i = 0; i < 100; i++) {
    ASSERT_EQ(CreateSlotTables(), 1);
    std::snprintf(BrowseNames[3], kSlotSize, "%s", "left over");
    FreeSlotTables();
  }
  // an init run twice keeps its tables, empties them, and leaks nothing
  ASSERT_EQ(CreateSlotTables(), 1);
  const SlotTable first = BrowseNames;
  std::snprintf(BrowseNames[3], kSlotSize, "%s", "old");
  ASSERT_EQ(CreateSlotTables(), 1);
  EXPECT_EQ(BrowseNames, first);
  EXPECT_STREQ(BrowseNames[3], "");
}

}  // namespace

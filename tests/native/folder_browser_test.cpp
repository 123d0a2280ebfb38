// The folder browser's pure steps: the path climb and entry, the folders-first order of
// the browse lists, and what a scan makes of each listing entry.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "browse/folder_browser.h"
#include "browse/folder_entry.h"
#include "browse/folder_path.h"
#include "browse/slot_tables.h"
#include "config/settings.h"
#include "fakes/fake_files.h"
#include "fakes/fake_host.h"
#include "protocol/status_frame.h"

namespace {

using Strings = std::vector<std::string>;

void SetFolders(const std::string& current, const std::string& root) {
  std::snprintf(CurrentFolder, kPathSize, "%s", current.c_str());
  std::snprintf(LibraryRoot, kPathSize, "%s", root.c_str());
}

TEST(FolderPath, LeaveFolderClimbsButNeverAboveTheMusicFolder) {
  struct Case {
    const char* current;
    const char* root;
    const char* after;
    int result;
    const char* fault;
  } cases[] = {
      {"C:\\Music\\Rock\\Live\\", "C:\\Music\\", "C:\\Music\\Rock\\", 1, "one level up, trailing backslash kept"},
      {"C:\\Music\\Rock\\", "C:\\Music\\", "C:\\Music\\", 1, "up to the music folder itself"},
      {"C:\\Music\\", "C:\\Music\\", "C:\\Music\\", 1, "at the music folder nothing moves"},
      {"Music", "C:\\Music\\", "Music", 1, "no backslash: nothing to cut"},
      {"Rock\\", "C:\\Music\\", "C:\\Music\\", 0, "no parent inside the string: back to the root"},
      {"c:\\music\\Rock\\", "C:\\Music\\", "C:\\Music\\", 0, "a folder that was never below the root must not climb on"},
      {"D:\\Other\\Sub\\", "C:\\Music\\", "C:\\Music\\", 0, "a folder outside the root is brought back to it"},
      {"C:\\Musical\\Jazz\\", "C:\\Music\\", "C:\\Music\\", 0, "a sibling sharing the root's letters is outside it"},
  };
  for (const Case& c : cases) {
    SetFolders(c.current, c.root);
    EXPECT_EQ(LeaveFolder(), c.result) << c.fault;
    EXPECT_STREQ(CurrentFolder, c.after) << c.fault;
  }
  // three steps from two levels down: the climb stops at the root and stays there
  SetFolders("C:\\Music\\Rock\\Live\\", "C:\\Music\\");
  const char* expected[] = {"C:\\Music\\Rock\\", "C:\\Music\\", "C:\\Music\\"};
  for (const char* after : expected) {
    EXPECT_EQ(LeaveFolder(), 1);
    EXPECT_STREQ(CurrentFolder, after);
  }
}

TEST(FolderPath, EnterFolderTakesOnlyFolderEntriesThatFit) {
  const std::string start = "C:\\Music\\Rock\\";
  const std::string fill(kPathSize - 1 - start.size() - 1, 'n');  // leaves 255 characters with its backslash
  struct Case {
    const char* entry;
    const char* after;  // null: unchanged
    const char* fault;
  } cases[] = {
      {"\\Live", "C:\\Music\\Rock\\Live\\", "the name and a backslash are appended"},
      {"Live", nullptr, "a file entry is no folder"},
      {nullptr, nullptr, "a missing entry"},
      {"", nullptr, "an empty entry"},
      {"\\", nullptr, "a backslash without a name would enter no folder"},
      {"\\..", nullptr, "\"..\" would climb while the text says one level down"},
      {"\\.", nullptr, "\".\" would stay while the text says one level down"},
      {"\\a\\b", nullptr, "two levels at once would break the one-step climb"},
  };
  for (const Case& c : cases) {
    SetFolders(start, "C:\\Music\\");
    EXPECT_EQ(EnterFolder(c.entry), c.after ? 1 : 0) << c.fault;
    EXPECT_STREQ(CurrentFolder, c.after ? c.after : start.c_str()) << c.fault;
  }
  // exactly 255 characters fit; one more must be refused, not cut into another folder
  SetFolders(start, "C:\\Music\\");
  EXPECT_EQ(EnterFolder(("\\" + fill).c_str()), 1);
  EXPECT_EQ(std::strlen(CurrentFolder), kPathSize - 1);
  SetFolders(start, "C:\\Music\\");
  EXPECT_EQ(EnterFolder(("\\" + fill + "n").c_str()), 0);
  EXPECT_STREQ(CurrentFolder, start.c_str());
}

TEST(FolderPath, TheStatusFrameFolderNameFollowsEveryStep) {
  SetFolders("C:\\Music\\Rock\\", "C:\\Music\\");
  uint8_t field[kTextFieldSize];
  const auto name = [&] {
    FillFolderField(field, CurrentFolder);
    return std::string(reinterpret_cast<const char*>(field));
  };
  // the panel must show the folder just entered, left or returned to
  ASSERT_EQ(EnterFolder("\\Live"), 1);
  EXPECT_EQ(name(), "\\Live\\");
  ASSERT_EQ(LeaveFolder(), 1);
  EXPECT_EQ(name(), "\\Rock\\");
  ASSERT_EQ(LeaveFolder(), 1);
  EXPECT_EQ(name(), "\\Music\\");
  ASSERT_EQ(EnterFolder("\\Jazz"), 1);
  ReturnToRoot();
  EXPECT_EQ(name(), "\\Music\\");
}

// In the Japanese code page the second byte of "\x95\x5C" (the first character of the word
// for a table) is that of a backslash: a folder so named is entered, shown and left as
// one name, never split inside it.
TEST(FolderPath, ANameWhoseSecondByteIsABackslashIsOneCharacter) {
  ResetFakeFiles();
  Files.codePage = 932;
  const std::string table = "\x95\x5C";
  const std::string inside = "C:\\Music\\" + table + "\\";
  uint8_t field[kTextFieldSize];
  const auto shown = [&] {
    FillFolderField(field, CurrentFolder);
    return std::string(reinterpret_cast<const char*>(field));
  };
  SetFolders("C:\\Music\\", "C:\\Music\\");
  ASSERT_EQ(EnterFolder(("\\" + table).c_str()), 1);
  EXPECT_EQ(std::string(CurrentFolder), inside);
  EXPECT_EQ(shown(), "\\" + table + "\\");
  ASSERT_EQ(EnterFolder("\\Live"), 1);
  ASSERT_EQ(LeaveFolder(), 1);
  EXPECT_EQ(std::string(CurrentFolder), inside);
  ASSERT_EQ(LeaveFolder(), 1);
  EXPECT_EQ(std::string(CurrentFolder), "C:\\Music\\");
  // Too long for the field: cut between characters, never between a character's bytes.
  std::string tables;
  for (int i = 0; i < 30; i++) tables += table;
  SetFolders("C:\\Music\\" + tables + "\\", "C:\\Music\\");
  std::string cut;
  for (int i = 0; i < 18; i++) cut += table;
  EXPECT_EQ(shown(), "\\" + cut + "\\");
  ResetFakeFiles();
}

// An allocator that a test can make refuse the scratch table.
bool RefuseAllocation = false;
// Memory as a heap may hand it out: what an earlier owner left there.
void* MaybeAllocate(size_t size) {
  void* block = RefuseAllocation ? nullptr : std::malloc(size);
  if (block != nullptr) std::memset(block, 'J', size);
  return block;
}

class BrowseTables : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFakeHost();
    ASSERT_EQ(CreateSlotTables(), 1);
  }
  void TearDown() override {
    SlotAllocate = saved;
    RefuseAllocation = false;
    FreeSlotTables();
  }
  static void Fill(SlotTable table, const Strings& entries) {
    for (size_t i = 0; i < entries.size(); i++) std::snprintf(table[i], kSlotSize, "%s", entries[i].c_str());
  }
  static void FillExtensions(const Strings& entries) {
    for (size_t i = 0; i < entries.size(); i++) std::snprintf(ExtensionTable[i], kExtensionSlotSize, "%s", entries[i].c_str());
  }
  static Strings Read(SlotTable table, uint32_t count) {
    Strings entries;
    for (uint32_t i = 0; i < count; i++) entries.push_back(table[i]);
    return entries;
  }
  SlotAllocator saved = SlotAllocate;
};

TEST_F(BrowseTables, FoldersComeFirstInListingOrder) {
  SlotAllocate = MaybeAllocate;
  Fill(BrowseNames, {"B", "\\X", "A", "\\Y", "left over"});
  // the order within each group is the listing order: stable, not alphabetical
  ASSERT_EQ(SortFoldersFirst(BrowseNames, 4), 1);
  EXPECT_EQ(Read(BrowseNames, 4), (Strings{"\\X", "\\Y", "B", "A"}));
  // slots from the count on end empty: neither a stale entry nor the scratch memory's
  // leftovers appear after the list
  EXPECT_STREQ(BrowseNames[4], "");
  EXPECT_EQ(BrowseNames[kSlotCount - 1][kSlotSize - 1], '\0');

  Fill(BrowseNames, {"B", "A"});
  // a count of 0 changes nothing
  EXPECT_EQ(SortFoldersFirst(BrowseNames, 0), 1);
  EXPECT_EQ(Read(BrowseNames, 2), (Strings{"B", "A"}));
  // a missing table or a count past the table is refused, not read beyond
  EXPECT_EQ(SortFoldersFirst(nullptr, 3), 0);
  EXPECT_EQ(SortFoldersFirst(BrowseNames, kSlotCount + 1), 0);

  // a full table of 499-character entries keeps every byte
  for (uint32_t k = 0; k < kSlotCount; k++) {
    std::memset(BrowseNames[k], k % 2 ? 'f' : '\\', kSlotSize - 1);
    BrowseNames[k][kSlotSize - 1] = '\0';
  }
  ASSERT_EQ(SortFoldersFirst(BrowseNames, kSlotCount), 1);
  EXPECT_EQ(BrowseNames[249][0], '\\');
  EXPECT_EQ(BrowseNames[250][0], 'f');
  EXPECT_EQ(std::strlen(BrowseNames[499]), kSlotSize - 1);
}

TEST_F(BrowseTables, TitlesFollowTheirNamesEvenWhenTheyBeginWithABackslash) {
  const Strings names = {"song1.mp3", "\\Folder", "song2.mp3", "\\Other", "song3.mp3"};
  const Strings titles = {"\\m/ Metal Anthem", "\\Folder", "Title 2", "\\Other", "Title 3"};
  Fill(BrowseNames, names);
  Fill(BrowseTitles, titles);
  ASSERT_EQ(SortBrowseListsFoldersFirst(BrowseNames, BrowseTitles, 5), 1);
  EXPECT_EQ(Read(BrowseNames, 5), (Strings{"\\Folder", "\\Other", "song1.mp3", "song2.mp3", "song3.mp3"}));
  // sorted on its own first characters, the title list would shift every title after it
  EXPECT_EQ(Read(BrowseTitles, 5), (Strings{"\\Folder", "\\Other", "\\m/ Metal Anthem", "Title 2", "Title 3"}));

  // the one-table form with the names as keys orders the titles the same way
  Fill(BrowseNames, names);
  Fill(BrowseTitles, titles);
  ASSERT_EQ(SortFoldersFirst(BrowseTitles, 5, BrowseNames), 1);
  EXPECT_EQ(BrowseTitles[2], std::string("\\m/ Metal Anthem"));
}

TEST_F(BrowseTables, WithoutMemoryForTheScratchTableNothingMoves) {
  const Strings names = {"b.mp3", "\\X", "a.mp3"};
  const Strings titles = {"\\Odd", "\\X", "A"};
  Fill(BrowseNames, names);
  Fill(BrowseTitles, titles);
  SlotAllocate = MaybeAllocate;
  RefuseAllocation = true;
  // a half-done order would leave the lists unmatched or cut
  EXPECT_EQ(SortFoldersFirst(BrowseNames, 3), 0);
  EXPECT_EQ(SortBrowseListsFoldersFirst(BrowseNames, BrowseTitles, 3), 0);
  EXPECT_EQ(Read(BrowseNames, 3), names);
  EXPECT_EQ(Read(BrowseTitles, 3), titles);
}

class ScanEntries : public BrowseTables {
 protected:
  void SetUp() override {
    BrowseTables::SetUp();
    FillExtensions({"mp3", "M3U", "pl", "ogg"});
  }
  // One entry through the scan's rules at slot 0; the name and title listed, or "-".
  std::pair<std::string, std::string> List(const char* name, uint32_t attributes, uint32_t extensionCount = 3) {
    ClearBrowseSlots(BrowseNames, BrowseTitles, 0);
    if (!ListFolderEntry("C:\\Music\\", name, attributes, ExtensionTable, extensionCount, BrowseNames, BrowseTitles, 0)) {
      EXPECT_STREQ(BrowseNames[0], "") << name;
      return {"-", "-"};
    }
    return {BrowseNames[0], BrowseTitles[0]};
  }
};

TEST_F(ScanEntries, EachEntryIsLeftOutOrListedByTheRules) {
  Host.titles["C:\\Music\\known.mp3"] = "Known Song";
  Host.titles["C:\\Music\\mix.m3u"] = "Mix Title";
  Host.titles["C:\\Music\\list.PL"] = "List Title";
  constexpr uint32_t kFile = 0x20, kFolder = kAttributeDirectory;
  struct Case {
    const char* name;
    uint32_t attributes;
    const char* listedName;  // "-": left out
    const char* title;
    const char* fault;
  } cases[] = {
      {"Rock", kFolder, "\\Rock", "\\Rock", "a folder is its name behind a backslash in both lists"},
      {"Hidden", kFolder | kAttributeHidden, "-", "-", "hidden folders never appear"},
      {"Sys", kFolder | kAttributeSystem, "-", "-", "system folders never appear"},
      {"hidden.mp3", kFile | kAttributeHidden, "-", "-", "hidden files never appear"},
      {"system.mp3", kAttributeSystem, "-", "-", "system files never appear"},
      {".sounds", kFolder, "-", "-", "a dot-folder is no folder and has no playable extension"},
      {".", kFolder, "-", "-", "\".\" is tested as a file and matches nothing"},
      {"..", kFolder, "-", "-", "\"..\" is tested as a file and matches nothing"},
      {"x.mp3", kFolder, "\\x.mp3", "\\x.mp3", "a folder named like a song is still a folder"},
      {".live.mp3", kFolder, ".live.mp3", ".live.mp3", "a dot-folder with a playable extension is tested as a file"},
      {"known.mp3", kFile, "known.mp3", "Known Song", "the player's title is the display text"},
      {"unknown.mp3", kFile, "unknown.mp3", "unknown.mp3", "an empty title from the player falls back to the name"},
      {"song.MP3", kFile, "song.MP3", "song.MP3", "extensions match ignoring ASCII case"},
      {"a.b.Mp3", kFile, "a.b.Mp3", "a.b.Mp3", "the extension is the text after the last dot"},
      {"mix.m3u", kFile, "mix.m3u", "mix.m3u", "an M3U playlist keeps its name even with a title"},
      {"list.PL", kFile, "list.PL", "list.PL", "a PL playlist keeps its name even with a title"},
      {"README", kFile, "-", "-", "a name without a dot is never listed"},
      {"cover.jpg", kFile, "-", "-", "an extension not in the table"},
      {"song.ogg", kFile, "-", "-", "only the first extensionCount entries count"},
      {"song.mp", kFile, "-", "-", "a prefix of an extension is no match"},
      {"song.mp3x", kFile, "-", "-", "an extension of which a table entry is a prefix is no match"},
  };
  for (const Case& c : cases) {
    const auto listed = List(c.name, c.attributes);
    EXPECT_EQ(listed.first, c.listedName) << c.fault;
    EXPECT_EQ(listed.second, c.title) << c.fault;
  }
}

TEST_F(ScanEntries, ThePlayerIsAskedOncePerPlayableFile) {
  List("Rock", kAttributeDirectory);
  List("cover.jpg", 0);
  List("hidden.mp3", kAttributeHidden);
  EXPECT_TRUE(Host.calls.empty()) << "folders and left-out entries need no title";
  List("song.mp3", 0);
  List("mix.m3u", 0);
  // the full path, the TITLE tag and the slot's whole 500 bytes
  EXPECT_EQ(Host.calls, (Strings{"296 C:\\Music\\song.mp3 TITLE 500", "296 C:\\Music\\mix.m3u TITLE 500"}));
}

TEST_F(ScanEntries, EdgesOfTheTablesAndPaths) {
  // an empty extension entry matches the empty text after a final dot, as in "." and ".."
  FillExtensions({"mp3", ""});
  EXPECT_EQ(List("..", kAttributeDirectory, 2).first, "..");
  EXPECT_EQ(List("song.", 0, 2).first, "song.");
  // but a name without any dot has no extension at all
  EXPECT_EQ(List("README", 0, 2).first, "-");
  // a count beyond the 200 slots must not read past the extension table
  EXPECT_EQ(MatchExtension("a.zzz", ExtensionTable, 100000), -1);
  EXPECT_EQ(MatchExtension("a.mp3", nullptr, 3), -1);
  // a path longer than MAX_PATH is left out rather than handed to the player or cut short:
  // a folder of 250 characters with a name of 259 once made a request of 509
  Host.calls.clear();
  const std::string folder = "C:\\" + std::string(246, 'f') + "\\";
  for (size_t length : {9u, 10u, 259u}) {
    const std::string name = std::string(length - 4, 'n') + ".mp3";
    const int listed = ListFolderEntry(folder.c_str(), name.c_str(), 0, ExtensionTable, 2, BrowseNames, BrowseTitles,
                                       0);
    EXPECT_EQ(listed, folder.size() + length <= 259 ? 1 : 0) << length;
  }
  EXPECT_EQ(Host.calls, (Strings{"296 " + folder + "nnnnn.mp3 TITLE 500"}));
  // a slot index past the table is refused
  EXPECT_EQ(ListFolderEntry("C:\\", "a.mp3", 0, ExtensionTable, 2, BrowseNames, BrowseTitles, kSlotCount), 0);
}

TEST_F(ScanEntries, PatternAndClearingStayInsideTheirBuffers) {
  char pattern[kEntryPathSize];
  ASSERT_EQ(FormatSearchPattern(pattern, "C:\\Music\\"), 1);
  EXPECT_STREQ(pattern, "C:\\Music\\*.*");
  // a pattern cut short would list another folder
  EXPECT_EQ(FormatSearchPattern(pattern, std::string(kEntryPathSize - 3, 'f').c_str()), 0);
  EXPECT_EQ(FormatSearchPattern(pattern, std::string(kEntryPathSize - 4, 'f').c_str()), 1);

  Fill(BrowseNames, {"keep", "keep", "gone"});
  Fill(BrowseTitles, {"keep", "keep", "gone"});
  std::memset(BrowseNames[499], 'x', kSlotSize);
  ClearBrowseSlots(BrowseNames, BrowseTitles, 2);
  // entries before the count stay; every byte from it to the block's end is cleared
  EXPECT_EQ(Read(BrowseNames, 3), (Strings{"keep", "keep", ""}));
  EXPECT_EQ(Read(BrowseTitles, 3), (Strings{"keep", "keep", ""}));
  EXPECT_EQ(BrowseNames[499][kSlotSize - 1], 0);
}

}  // namespace

// ScanFolder over a real music folder that the test builds in the temporary folder, with
// the titles answered by a window of the test standing in for the player's main window.
// The scan runs on the test's own thread, so each title request reaches the window directly.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "browse/folder_browser.h"
#include "browse/slot_tables.h"
#include "host/host_catalogue.h"
#include "host/host_windows_win.h"

namespace {

using Strings = std::vector<std::string>;
using Listing = std::map<std::string, std::string>;  // name -> title

// The player's side: titles it knows by file name, and every path it was asked about.
std::map<std::string, std::string> KnownTitles;
Strings AskedPaths;

LRESULT CALLBACK PlayerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_USER || lParam != 296) return DefWindowProcA(window, message, wParam, lParam);
  const TagRequest* request = reinterpret_cast<const TagRequest*>(wParam);
  AskedPaths.push_back(request->path);
  const char* slash = std::strrchr(request->path, '\\');
  const auto known = KnownTitles.find(slash != nullptr ? slash + 1 : request->path);
  // Like the player: nothing is written for a file it knows nothing of.
  if (std::strcmp(request->tag, "TITLE") == 0 && known != KnownTitles.end() && request->size > 0) {
    std::snprintf(request->destination, request->size, "%s", known->second.c_str());
  }
  return 1;
}

HWND MakePlayerWindow() {
  static ATOM registered = 0;
  if (registered == 0) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = PlayerWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "QuillboxScanTestPlayer";
    registered = RegisterClassA(&windowClass);
  }
  return CreateWindowExA(0, "QuillboxScanTestPlayer", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

// Deletes a folder and everything in it, hidden and system entries included.
void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA entry;
  HANDLE listing = FindFirstFileA((folder + "*").c_str(), &entry);
  if (listing != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + name;
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path + "\\");
      } else {
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(listing, &entry));
    FindClose(listing);
  }
  RemoveDirectoryA(folder.c_str());
}

class FolderScan : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CreateSlotTables(), 1);
    const char* extensions[] = {"mp3", "M3U", "pl"};
    for (uint32_t i = 0; i < 3; i++) std::snprintf(ExtensionTable[i], kExtensionSlotSize, "%s", extensions[i]);
    KnownTitles.clear();
    AskedPaths.clear();
    player = MakePlayerWindow();
    ASSERT_NE(player, nullptr);
    SetHostWindows(player, nullptr, PluginInstance());
    char temp[MAX_PATH];
    ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
    char unique[64];
    std::snprintf(unique, sizeof unique, "qb_scan_%lu_%lu\\", GetCurrentProcessId(), GetTickCount());
    root = std::string(temp) + unique;
    ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
  }
  void TearDown() override {
    RemoveTree(root);
    SetHostWindows(nullptr, nullptr, PluginInstance());
    if (player != nullptr) DestroyWindow(player);
    FreeSlotTables();
  }
  void Folder(const std::string& name, DWORD attributes = 0) {
    ASSERT_TRUE(CreateDirectoryA((root + name).c_str(), nullptr)) << name;
    if (attributes != 0) {
      ASSERT_TRUE(SetFileAttributesA((root + name).c_str(), attributes)) << name;
    }
  }
  void File(const std::string& name, DWORD attributes = 0) {
    HANDLE file = CreateFileA((root + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << name;
    CloseHandle(file);
    if (attributes != 0) {
      ASSERT_TRUE(SetFileAttributesA((root + name).c_str(), attributes)) << name;
    }
  }
  int Scan(const std::string& folder) {
    return ScanFolder(folder.c_str(), ExtensionTable, 3, BrowseNames, BrowseTitles, &count);
  }
  Listing Listed() const {
    Listing listed;
    for (uint32_t i = 0; i < count; i++) listed[BrowseNames[i]] = BrowseTitles[i];
    return listed;
  }
  static void Put(SlotTable table, uint32_t slot, const char* text) { std::snprintf(table[slot], kSlotSize, "%s", text); }

  HWND player = nullptr;
  std::string root;
  uint32_t count = 0;
};

TEST_F(FolderScan, ListsVisibleFoldersAndPlayableFilesWithTheirTitles) {
  Folder("Rock");
  Folder("Hidden", FILE_ATTRIBUTE_HIDDEN);
  Folder("Sys", FILE_ATTRIBUTE_SYSTEM);
  Folder(".sounds");
  Folder(".live.mp3");
  Folder("x.mp3");
  File("hidden.mp3", FILE_ATTRIBUTE_HIDDEN);
  File("system.mp3", FILE_ATTRIBUTE_SYSTEM);
  File("song.MP3");
  File("known.mp3");
  File("unknown.mp3");
  File("mix.m3u");
  File("list.PL");
  File("slash.mp3");
  File("README");
  File("cover.jpg");
  ASSERT_EQ(GetFileAttributesA((root + ".sounds").c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u)
      << "the Wine session must show dot files (ShowDotFiles=Y)";
  KnownTitles = {{"known.mp3", "Known Song"}, {"mix.m3u", "Mix Title"}, {"list.PL", "List Title"}, {"slash.mp3", "\\m/ Slash"}};

  ASSERT_EQ(Scan(root), 1);
  const Listing expected = {
      {"\\Rock", "\\Rock"},               // a folder, in both lists behind a backslash
      {"\\x.mp3", "\\x.mp3"},             // a folder named like a song stays a folder
      {".live.mp3", ".live.mp3"},         // a dot-folder is tested as a file
      {"song.MP3", "song.MP3"},           // the extension matches ignoring case
      {"known.mp3", "Known Song"},        // the player's title
      {"unknown.mp3", "unknown.mp3"},     // no title from the player: the name
      {"mix.m3u", "mix.m3u"},             // a playlist keeps its name
      {"list.PL", "list.PL"},
      {"slash.mp3", "\\m/ Slash"},
  };
  // hidden and system entries, ".", "..", .sounds, README and cover.jpg never appear
  EXPECT_EQ(Listed(), expected);
  EXPECT_EQ(count, expected.size());
  EXPECT_STREQ(BrowseNames[count], "");
  // one title request per playable file, with its full path
  const std::set<std::string> asked(AskedPaths.begin(), AskedPaths.end());
  const std::set<std::string> files = {".live.mp3", "song.MP3", "known.mp3", "unknown.mp3", "mix.m3u", "list.PL", "slash.mp3"};
  std::set<std::string> paths;
  for (const std::string& f : files) paths.insert(root + f);
  EXPECT_EQ(AskedPaths.size(), files.size());
  EXPECT_EQ(asked, paths);

  // folders first, and every title still at its own name's index
  ASSERT_EQ(SortBrowseListsFoldersFirst(BrowseNames, BrowseTitles, count), 1);
  EXPECT_EQ(BrowseNames[0][0], '\\');
  EXPECT_EQ(BrowseNames[1][0], '\\');
  EXPECT_NE(BrowseNames[2][0], '\\');
  EXPECT_EQ(Listed(), expected) << "a title beginning with a backslash must not shift the others";
}

TEST_F(FolderScan, SixHundredFilesListTheFirstFiveHundred) {
  for (int i = 0; i < 600; i++) {
    char name[32];
    std::snprintf(name, sizeof name, "t%03d.mp3", i);
    File(name);
  }
  // the listing's own order, as the system gives it
  Strings order;
  WIN32_FIND_DATAA entry;
  HANDLE listing = FindFirstFileA((root + "*.*").c_str(), &entry);
  ASSERT_NE(listing, INVALID_HANDLE_VALUE);
  do {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) order.push_back(entry.cFileName);
  } while (FindNextFileA(listing, &entry));
  FindClose(listing);
  ASSERT_EQ(order.size(), 600u);

  EXPECT_EQ(Scan(root), 1);
  ASSERT_EQ(count, 500u);
  for (uint32_t i = 0; i < 500; i++) ASSERT_EQ(BrowseNames[i], order[i]) << i;
  // the 501st file is neither listed nor asked about
  EXPECT_EQ(AskedPaths.size(), 500u);
  // a full list takes nothing more, and says so with success
  EXPECT_EQ(Scan(root), 1);
  EXPECT_EQ(count, 500u);
}

TEST_F(FolderScan, AFolderThatCannotBeListedLeavesTheListsEmpty) {
  for (uint32_t k : {0u, 1u, 499u}) {
    Put(BrowseNames, k, "stale");
    Put(BrowseTitles, k, "stale");
  }
  EXPECT_EQ(Scan(root + "missing\\"), 0);
  EXPECT_EQ(count, 0u);
  // an earlier folder's entries must not survive a failed scan
  for (uint32_t k : {0u, 1u, 499u}) {
    EXPECT_STREQ(BrowseNames[k], "") << k;
    EXPECT_STREQ(BrowseTitles[k], "") << k;
  }
  // a folder too long for the listing pattern is refused, not listed cut short
  EXPECT_EQ(Scan(root + std::string(600, 'f') + "\\"), 0);
  EXPECT_EQ(count, 0u);
}

TEST_F(FolderScan, EntriesAreAppendedFromTheGivenCount) {
  File("new.mp3");
  Put(BrowseNames, 0, "keep0");
  Put(BrowseNames, 1, "keep1");
  Put(BrowseNames, 2, "stale");
  count = 2;
  ASSERT_EQ(Scan(root), 1);
  EXPECT_EQ(count, 3u);
  EXPECT_STREQ(BrowseNames[0], "keep0");
  EXPECT_STREQ(BrowseNames[1], "keep1");
  EXPECT_STREQ(BrowseNames[2], "new.mp3");

  // a count above 500 changes nothing and lists nothing
  count = 501;
  EXPECT_EQ(Scan(root), 0);
  EXPECT_EQ(count, 501u);
  EXPECT_STREQ(BrowseNames[0], "keep0");
  EXPECT_EQ(AskedPaths.size(), 1u);
}

}  // namespace

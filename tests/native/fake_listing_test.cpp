// The fake file system's listings, which the fuzzers and the handler tests rely on to be
// what Windows gives: a folder's own entries only, in case-insensitive name order, the
// same whether its files came one by one or as a crowd.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_files.h"

namespace {

std::vector<std::string> Listed(const char* pattern) {
  std::vector<std::string> names;
  ListedEntry entry;
  FolderListing* listing = ListingStart(pattern, &entry);
  if (listing == nullptr) return names;
  do {
    names.push_back(entry.name);
  } while (ListingNext(listing, &entry) == 1);
  ListingEnd(listing);
  return names;
}

TEST(FakeListing, AFolderListsItsOwnEntriesInNameOrderBesideFoldersOfTheSamePrefix) {
  ResetFakeFiles();
  // "A b" sorts before "A\" and "Ab" after it: neither is inside A.
  for (const char* path : {"C:\\M\\A b\\x.mp3", "C:\\M\\Ab\\y.mp3", "C:\\M\\A\\b.mp3", "C:\\M\\A\\Sub\\deep.mp3",
                           "C:\\M\\A\\a.MP3", "C:\\M\\Ab.mp3"}) {
    Files.AddFile(path);
  }
  EXPECT_EQ(Listed("C:\\M\\A\\*.*"), (std::vector<std::string>{".", "..", "a.MP3", "b.mp3", "Sub"}));
  EXPECT_EQ(Listed("c:\\m\\*.*"), (std::vector<std::string>{".", "..", "A", "A b", "Ab", "Ab.mp3"}));
  EXPECT_EQ(Listed("C:\\M\\None\\*.*"), std::vector<std::string>{});
}

TEST(FakeListing, ACrowdAddedAtOnceIsTheSameTreeAsItsFilesAddedOneByOne) {
  const std::vector<std::string> names = {"t002.mp3", "T001.mp3", "t000.mp3"};
  ResetFakeFiles();
  for (const std::string& name : names) Files.AddFile("C:\\Music\\Crowd\\" + name);
  const auto oneByOne = Files.nodes;
  ResetFakeFiles();
  Files.AddFiles("C:\\Music\\Crowd\\", names);
  ASSERT_EQ(Files.nodes.size(), oneByOne.size());
  for (const auto& [key, node] : oneByOne) {
    ASSERT_TRUE(Files.nodes.count(key)) << key;
    EXPECT_EQ(Files.nodes.at(key).path, node.path);
    EXPECT_EQ(Files.nodes.at(key).folder, node.folder);
    EXPECT_EQ(Files.nodes.at(key).attributes, node.attributes);
  }
}

}  // namespace

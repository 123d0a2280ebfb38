// Reading the playable extensions from the player's settings file, on temporary files.
#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "browse/extension_list.h"
#include "browse/slot_tables.h"
#include "fakes/fake_host.h"
#include "res/resource_ids.h"

namespace {

using Strings = std::vector<std::string>;

std::string Repeat(const std::string& text, int times) {
  std::string all;
  for (int i = 0; i < times; i++) all += text;
  return all;
}

// "e0:e1:...": a value of n numbered pieces, and the pieces themselves.
std::string Numbered(int n) {
  std::string value;
  for (int i = 0; i < n; i++) value += (i ? ":e" : "e") + std::to_string(i);
  return value;
}
Strings NumberedPieces(int n) {
  Strings pieces;
  for (int i = 0; i < n; i++) pieces.push_back("e" + std::to_string(i));
  return pieces;
}

int OpenFileCount() {
  int n = 0;
  DIR* dir = opendir("/proc/self/fd");
  while (dir != nullptr && readdir(dir) != nullptr) n++;
  if (dir != nullptr) closedir(dir);
  return n;
}

class ExtensionList : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFakeHost();
    ASSERT_EQ(CreateSlotTables(), 1);
    path = ::testing::TempDir() + "qb_winamp_" + std::to_string(getpid()) + ".ini";
  }
  void TearDown() override {
    std::remove(path.c_str());
    FreeSlotTables();
  }
  void Write(const std::string& content) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(content.data(), 1, content.size(), file);
    std::fclose(file);
    Host.iniPath = path.c_str();
  }
  Strings Stored() const {
    Strings stored;
    for (uint32_t i = 0; i < ExtensionCount; i++) stored.push_back(ExtensionTable[i]);
    return stored;
  }
  std::string path;
};

TEST_F(ExtensionList, ReadsTheKeyAsThePlayerWroteIt) {
  struct Case {
    std::string content;
    int result;
    Strings extensions;
    const char* fault;
  } cases[] = {
      {"config_extlist=MP3:MP2:WAV", 0, {"MP3", "MP2", "WAV"}, "the plain value split at every colon"},
      {"[Winamp]\r\nvolume=200\r\nconfig_extlist=mp3:OGG\r\n", 0, {"mp3", "OGG"}, "a CR at a line end must not stick to the last extension"},
      {"\t config_extlist=MP3 MP2", 0, {"MP3"}, "the value ends at the first blank"},
      {"config_extlist=", 0, {""}, "a key ending at its = stores one empty extension"},
      {"config_extlist=MP3::WAV", 0, {"MP3", "", "WAV"}, "two adjacent colons store an empty extension"},
      {"config_extlist=MP3:", 0, {"MP3", ""}, "a trailing colon stores an empty extension"},
      {"config_extlist=" + Numbered(250), 0, NumberedPieces(200), "only 200 slots exist: the rest is ignored"},
      {"config_extlist=ABCDEFGHIJKL:MP3", 0, {"ABCDEFGHI", "MP3"}, "a piece of 12 characters must be cut to the slot's 9"},
      {"config_extlist_old=OGG\nconfig_extlist=MP3", 0, {"OGG"}, "a longer key beginning with the 14 characters is taken first"},
      {"config_extlist=a=b:c", 0, {"a=b", "c"}, "only the first = separates key and value"},
      {"config_extlist = MP3", kMsgExtensionsUnparsed, {}, "blanks around = leave the key token without one"},
      {"config_extlist\n=MP3", kMsgExtensionsUnparsed, {}, "the key token alone has no ="},
      {"CONFIG_EXTLIST=MP3", kMsgNoExtensionKey, {}, "the key is case-sensitive"},
      {"config_extlis=MP3", kMsgNoExtensionKey, {}, "13 characters of the key are not the key"},
      {"xconfig_extlist=MP3", kMsgNoExtensionKey, {}, "the key must begin the token"},
      {"", kMsgNoExtensionKey, {}, "an empty file has no key"},
      {" \n\t\r\n", kMsgNoExtensionKey, {}, "a file of blanks has no key"},
  };
  for (const Case& c : cases) {
    Write(c.content);
    EXPECT_EQ(LoadExtensionList(), c.result) << c.fault;
    EXPECT_EQ(Stored(), c.extensions) << c.fault;
  }
}

TEST_F(ExtensionList, LongTokensAreCutInsideTheirBuffer) {
  struct Case {
    std::string content;
    int result;
    Strings extensions;
    const char* fault;
  } cases[] = {
      {"config_extlist=mp3:" + std::string(2000, 'y') + ":ogg", 0, {"mp3", "yyyyyyyyy"},
       "a value past 1,023 characters is cut, not written past the token buffer"},
      {std::string(1023, 'x') + "config_extlist=OGG config_extlist=MP3", 0, {"MP3"},
       "the tail of a cut token must not be read as a token of its own"},
      {std::string(5000, 'x') + "config_extlist=OGG", kMsgNoExtensionKey, {},
       "a key hidden in the tail of a long token is not a key"},
      {"config_extlist" + std::string(1500, '_') + "=MP3", kMsgExtensionsUnparsed, {},
       "an = beyond the cut is not seen"},
      {"config_extlist=" + Repeat("ab:", 400), 0, Strings(200, "ab"),
       "336 pieces within the cut token: the 200 slots fill and nothing beyond"},
  };
  for (const Case& c : cases) {
    Write(c.content);
    EXPECT_EQ(LoadExtensionList(), c.result) << c.fault;
    EXPECT_EQ(Stored(), c.extensions) << c.fault;
  }
}

TEST_F(ExtensionList, FailsWithTheMessageOfEachMissingPiece) {
  // the player gave no path
  Host.iniPath = nullptr;
  EXPECT_EQ(LoadExtensionList(), kMsgNoIniPath);
  EXPECT_EQ(Host.CallsStartingWith("334").size(), 1u);
  // a path that names no file
  Host.iniPath = "/nonexistent/qb/winamp.ini";
  EXPECT_EQ(LoadExtensionList(), kMsgIniUnreadable);
  // an empty path names no file either
  Host.iniPath = "";
  EXPECT_EQ(LoadExtensionList(), kMsgIniUnreadable);
  // without the tables nothing can be stored, and that is no success
  Write("config_extlist=MP3");
  FreeSlotTables();
  EXPECT_EQ(LoadExtensionList(), kMsgNoExtensions);
  EXPECT_EQ(ExtensionCount, 0u);
}

TEST_F(ExtensionList, ALaterLoadReplacesTheWholeList) {
  Write("config_extlist=ABCDEFGHI:FLAC:OGG");
  ASSERT_EQ(LoadExtensionList(), 0);
  Write("config_extlist=MP3");
  ASSERT_EQ(LoadExtensionList(), 0);
  // a shorter piece over a longer one must not keep the old tail
  EXPECT_EQ(Stored(), Strings{"MP3"});
  // a failed load leaves no extensions behind
  Write("nothing here");
  EXPECT_EQ(LoadExtensionList(), kMsgNoExtensionKey);
  EXPECT_EQ(ExtensionCount, 0u);
}

TEST_F(ExtensionList, ClosesTheFileOnEveryPath) {
  const int before = OpenFileCount();
  for (const char* content : {"config_extlist=MP3", "config_extlist MP3", "no key", ""}) {
    Write(content);
    for (int i = 0; i < 50; i++) LoadExtensionList();
  }
  // a file left open on any path shows here as one more descriptor
  EXPECT_EQ(OpenFileCount(), before);
}

}  // namespace

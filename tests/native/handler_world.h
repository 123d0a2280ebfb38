// The handler fixture with what the edit, info and dump commands add: the two working
// folders in the music folder, a playlist read as a tick reads it, and commands whose
// later bytes are all distinct, so that a reply byte the handler should leave shows the
// command's own.
#pragma once
#include <algorithm>
#include <iterator>

#include "handler_fixture.h"

class HandlerWorld : public HandlerTest {
 protected:
  void SetUp() override {
    HandlerTest::SetUp();
    SetFolder(PlaylistDir, "C:\\Music\\QB_Playlists\\");
    SetFolder(DumpDir, "C:\\Music\\QB_Dumped\\");
    Files.AddFolder("C:\\Music\\QB_Playlists");
    Files.AddFolder("C:\\Music\\QB_Dumped");
    Playlist({});
  }

  // The player's playlist, read as the top of a tick reads it; the call records start empty.
  static void Playlist(const Strings& files, int32_t position = 0) {
    Host.files = files;
    Host.position = position;
    PlaylistLength = static_cast<int32_t>(files.size() > kMaxListEntries ? kMaxListEntries : files.size());
    PlaylistPosition = static_cast<uint32_t>(position);
    Host.calls.clear();
    Files.calls.clear();
  }
  // The browse lists of CurrentFolder as a scan leaves them, in listing order.
  static void Scan() {
    ASSERT_EQ(RescanCurrentFolder(), 1);
    Files.calls.clear();
    Host.calls.clear();
  }
  static Strings BrowseList() { return Entries(BrowseNames, BrowseCount); }
  static uint32_t BrowseIndex(const std::string& name) {
    const Strings list = BrowseList();
    const auto at = std::find(list.begin(), list.end(), name);
    EXPECT_NE(at, list.end()) << name << " is not listed";
    return static_cast<uint32_t>(at - list.begin());
  }

  // letter, 0x77, sub-command, index a, index b, then 0xA0 + n in byte n.
  static Bytes Command(char letter, uint8_t sub, uint32_t a, uint32_t b = 0) {
    Bytes c(250);
    for (size_t i = 0; i < c.size(); i++) c[i] = static_cast<uint8_t>(0xA0 + i);
    const uint8_t head[] = {static_cast<uint8_t>(letter), 0x77, sub, static_cast<uint8_t>(a >> 8),
                            static_cast<uint8_t>(a), static_cast<uint8_t>(b >> 8), static_cast<uint8_t>(b)};
    std::copy(std::begin(head), std::end(head), c.begin());
    return c;
  }
  // The acknowledgement of command: its first length bytes with byte 2 = status.
  static Bytes Acknowledgement(const Bytes& command, size_t length, uint8_t status) {
    Bytes ack(command.begin(), command.begin() + static_cast<long>(length));
    ack[2] = status;
    return ack;
  }
};

// Shared set-up of the command-handler tests: a music folder C:\Music\ with its two
// working folders in the fake file system, the fake player, empty lists, and helpers
// that build a command and read back the reply it posted.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "browse/extension_list.h"
#include "browse/folder_browser.h"
#include "browse/slot_tables.h"
#include "config/settings.h"
#include "fakes/fake_files.h"
#include "fakes/fake_host.h"
#include "fakes/fake_timer.h"
#include "protocol/list_state.h"
#include "protocol/poll_tick.h"
#include "protocol/reply_buffer.h"

using Bytes = std::vector<uint8_t>;
using Strings = std::vector<std::string>;

class HandlerWorld : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFakeHost();
    ResetFakeFiles();
    QuitFlag = false;
    ASSERT_EQ(CreateSlotTables(), 1);
    std::snprintf(ExtensionTable[0], kExtensionSlotSize, "mp3");
    std::snprintf(ExtensionTable[1], kExtensionSlotSize, "wav");
    ExtensionCount = 2;
    SetText(LibraryRoot, "C:\\Music\\");
    SetText(CurrentFolder, "C:\\Music\\");
    SetText(PlaylistDir, "C:\\Music\\QB_Playlists\\");
    SetText(DumpDir, "C:\\Music\\QB_Dumped\\");
    Files.AddFolder("C:\\Music\\QB_Playlists");
    Files.AddFolder("C:\\Music\\QB_Dumped");
    BrowseCount = 0;
    LibraryResultCount = 0;
    std::memset(ReplyBuffer, 0, sizeof ReplyBuffer);
    Playlist({});
  }
  static void SetText(char* buffer, const std::string& text) { std::snprintf(buffer, kPathSize, "%s", text.c_str()); }

  // The player's playlist, read as the top of a tick reads it; the call records start empty.
  void Playlist(const Strings& files, int32_t position = 0) {
    Host.files = files;
    Host.position = position;
    PlaylistLength = static_cast<int32_t>(files.size() > kMaxListEntries ? kMaxListEntries : files.size());
    PlaylistPosition = static_cast<uint32_t>(position);
    Host.calls.clear();
    Files.calls.clear();
  }
  // The browse lists of CurrentFolder as a scan leaves them.
  void Scan() {
    ASSERT_EQ(RescanCurrentFolder(), 1);
    Files.calls.clear();
    Host.calls.clear();
  }
  Strings BrowseList() const { return Strings(BrowseNames, BrowseNames + BrowseCount); }
  uint32_t BrowseIndex(const std::string& name) const {
    for (uint32_t i = 0; i < BrowseCount; i++) {
      if (name == BrowseNames[i]) return i;
    }
    ADD_FAILURE() << name << " is not listed";
    return 0;
  }

  // letter, byte 1 0x77, sub-command, index a, index b, and 0xA0 + n in every later byte,
  // so that a reply byte the handler should not write shows the command's own.
  static Bytes Command(char letter, uint8_t sub, uint32_t a, uint32_t b = 0) {
    Bytes c(250);
    for (size_t i = 7; i < c.size(); i++) c[i] = static_cast<uint8_t>(0xA0 + i);
    c[0] = static_cast<uint8_t>(letter);
    c[1] = 0x77;
    c[2] = sub;
    c[3] = static_cast<uint8_t>(a >> 8);
    c[4] = static_cast<uint8_t>(a);
    c[5] = static_cast<uint8_t>(b >> 8);
    c[6] = static_cast<uint8_t>(b);
    return c;
  }
  // The pending reply's payload; empty when none is pending.
  static Bytes Reply() {
    return Bytes(ReplyBuffer + kPayloadOffset, ReplyBuffer + kPayloadOffset + ReplyBuffer[kLengthOffset]);
  }
  // The acknowledgement of command: its first length bytes with byte 2 = status.
  static Bytes Acknowledgement(const Bytes& command, size_t length, uint8_t status) {
    Bytes ack(command.begin(), command.begin() + static_cast<long>(length));
    ack[2] = status;
    return ack;
  }
  static void ClearReply() { std::memset(ReplyBuffer, 0, sizeof ReplyBuffer); }
};

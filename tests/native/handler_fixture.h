// Shared set-up of the handler tests: the real handlers over the fake player, the fake
// folder tree and fresh list state, with the music folder C:\Music\ playing mp3 and wav.
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
#include "protocol/handlers.h"
#include "protocol/list_state.h"
#include "protocol/poll_tick.h"
#include "protocol/reply_buffer.h"
#include "serial/frame.h"

using Bytes = std::vector<uint8_t>;
using Strings = std::vector<std::string>;

class HandlerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFakeHost();
    ResetFakeFiles();
    QuitAfterChecks = -1;
    ASSERT_EQ(CreateSlotTables(), 1);
    std::snprintf(ExtensionTable[0], kExtensionSlotSize, "mp3");
    std::snprintf(ExtensionTable[1], kExtensionSlotSize, "wav");
    ExtensionCount = 2;
    SetFolder("C:\\Music\\");
    std::snprintf(LibraryRoot, kPathSize, "C:\\Music\\");
    ActiveList = {nullptr, 0};
    ListCursor = 0;
    LibraryResultCount = 0;
    BrowseCount = 0;
    PlaylistLength = 0;
    std::memset(ReplyBuffer, 0, sizeof ReplyBuffer);
  }
  void TearDown() override { FreeSlotTables(); }

  static void SetFolder(const std::string& folder) { std::snprintf(CurrentFolder, kPathSize, "%s", folder.c_str()); }
  // Runs one command as the tick's dispatch would, from a zeroed 256-byte frame.
  static void Run(const Bytes& payload) {
    FrameBuffer frame = {};
    std::memcpy(frame + kPayloadOffset, payload.data(), payload.size());
    DispatchCommand(frame + kPayloadOffset);
  }
  // The pending reply's payload, empty when none is pending; taking it clears it.
  static Bytes TakeReply() {
    const Bytes reply(ReplyBuffer + kPayloadOffset, ReplyBuffer + kPayloadOffset + ReplyBuffer[kLengthOffset]);
    std::memset(ReplyBuffer, 0, sizeof ReplyBuffer);
    return reply;
  }
  static Strings Entries(SlotTable table, uint32_t count) { return Strings(table, table + count); }
  static void Fill(SlotTable table, const Strings& entries) {
    for (size_t i = 0; i < entries.size(); i++) std::snprintf(table[i], kSlotSize, "%s", entries[i].c_str());
  }
};

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

using Bytes = std::vector<uint8_t>;
using Strings = std::vector<std::string>;

class HandlerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFakeHost();
    ResetFakeFiles();
    QuitAfterChecks = -1;
    ASSERT_EQ(CreateSlotTables(), 1);
    Fill(ExtensionTable, {"mp3", "wav"}, kExtensionSlotSize);
    ExtensionCount = 2;
    SetFolder(LibraryRoot, "C:\\Music\\");
    SetFolder(CurrentFolder, "C:\\Music\\");
    ActiveList = {nullptr, 0};
    ListCursor = LibraryResultCount = BrowseCount = 0;
    PlaylistLength = 0;
    TakeReply();
  }
  void TearDown() override { FreeSlotTables(); }

  static void SetFolder(char* folder, const std::string& path) { std::snprintf(folder, kPathSize, "%s", path.c_str()); }
  // Runs one command as the tick does: from a zeroed frame, through the dispatch.
  static void Run(const Bytes& payload) {
    uint8_t frame[256] = {};
    std::memcpy(frame + 4, payload.data(), payload.size());
    DispatchCommand(frame + 4);
  }
  // The pending reply's payload (empty when none), which taking clears.
  static Bytes TakeReply() {
    const Bytes reply(ReplyBuffer + 4, ReplyBuffer + 4 + ReplyBuffer[3]);
    std::memset(ReplyBuffer, 0, sizeof ReplyBuffer);
    return reply;
  }
  static Strings Entries(SlotTable table, uint32_t count) { return Strings(table, table + count); }
  static void Fill(SlotTable table, const Strings& entries, size_t size = kSlotSize) {
    for (size_t i = 0; i < entries.size(); i++) std::snprintf(table[i], size, "%s", entries[i].c_str());
  }
};

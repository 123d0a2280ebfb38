// "P", "O" and "S": what each key asks of the fake player, and every index it refuses.
#include "handler_fixture.h"
#include "protocol/status_frame.h"
#include "protocol/transport_commands.h"

namespace {

class TransportCommands : public HandlerTest {
 protected:
  void SetUp() override {
    HandlerTest::SetUp();
    Host.files = Strings(5, "C:\\P\\s.mp3");
    PlaylistLength = 5;
    Fill(BrowseNames, {"\\Rock", "b.mp3", std::string(250, 'n') + ".mp3"});
    BrowseCount = 3;
    Fill(LibraryPaths, {"C:\\Found\\a.mp3", std::string(499, 'p'), "C:\\Found\\" + std::string(287, 'p') + ".mp3"});
    LibraryResultCount = 3;
  }
  // The player calls the command makes; a reply pending before it must stay pending.
  static Strings Calls(const Bytes& command) {
    Host.calls.clear();
    PostReply(Bytes{'X', 1}.data(), 2);
    Run(command);
    EXPECT_EQ(TakeReply(), (Bytes{'X', 1})) << "a pending reply stays pending";
    return Host.calls;
  }
  static Strings Replaced(const std::string& path) { return {"101", "copydata " + path, "press 40045", "124"}; }
};

TEST_F(TransportCommands, KeysAndTheirIndexChecks) {
  struct Case {
    int32_t playState;
    Bytes command;
    Strings calls;
    const char* fault;
  } cases[] = {
      {0, {'P'}, {"press 40045"}, "a lone P plays"},
      {1, {'P', 0, 1, 0, 4}, {"104", "121 4", "press 40045"}, "jump to the last entry"},
      {3, {'P', 0, 1, 0, 2}, {"104", "press 40046", "121 2", "press 40045"}, "paused: pause first"},
      {1, {'P', 0, 1, 0, 5}, {}, "an index equal to the length names nothing"},
      {1, {'P', 0, 1, 0xFF, 0xFF}, {}, "a huge index names nothing"},
      {0, {'P', 0, 3, 0, 1}, Replaced("C:\\Music\\b.mp3"), "a browsed file replaces the playlist"},
      {0, {'P', 0, 3, 0, 0}, Replaced("C:\\Music\\\\Rock"), "a folder entry as stored"},
      {0, {'P', 0, 3, 0, 2}, {}, "a path that does not fit 256 bytes is refused, not cut"},
      {0, {'P', 0, 3, 0, 3}, {}, "an index past BrowseCount"},
      {0, {'P', 0, 3, 0x01, 0xF4}, {}, "index 500"},
      {0, {'P', 0, 4, 0, 0}, Replaced("C:\\Found\\a.mp3"), "a search result"},
      {0, {'P', 0, 4, 0, 1}, {}, "a path that filled its slot may have been cut"},
      {0, {'P', 0, 4, 0, 2}, {}, "a path of 300 once went to the player, which E 3 and I refuse"},
      {0, {'P', 0, 4, 0, 3}, {}, "an index past LibraryResultCount"},
      {0, {'P', 0, 5}, {"press 40046"}, "pause"},
      {0, {'P', 0, 6}, {"press 40047"}, "stop"},
      {0, {'P', 0, 7}, {"press 40048"}, "next"},
      {0, {'P', 0, 8}, {"press 40044"}, "previous"},
      {0, {'P', 0, 9}, {}, "no such key"},
      {0, {'O', 0, 1}, {"252 1"}, "shuffle on"},
      {0, {'O', 0, 2}, {"252 0"}, "shuffle off"},
      {0, {'O', 0, 3}, {}, "no such option"},
  };
  for (const Case& c : cases) {
    Host.playState = c.playState;
    EXPECT_EQ(Calls(c.command), c.calls) << c.fault;
  }
  EXPECT_EQ(PlaylistLength, 1) << "re-read after replacing";
  for (uint8_t expected : {1, 0}) {
    Run({'O', 0, 0});
    EXPECT_EQ(TimeDisplayMode, expected) << "O 0 flips the time display";
  }
  LibraryResultCount = 0;  // a search without results: the panel shows a placeholder
  EXPECT_EQ(Calls({'P', 0, 4, 0, 0}), Strings{}) << "the placeholder has no file to play";
}

TEST_F(TransportCommands, VolumeStepsStopShortOfTheEnds) {
  struct Case {
    uint8_t from, sub, to;
    const char* fault;
  } cases[] = {
      {125, 0, 135, "louder"}, {125, 1, 115, "softer"}, {244, 0, 254, "the last step up"},
      {245, 0, 245, "never above 255"}, {11, 1, 1, "the last step down"}, {5, 1, 5, "never below 0"},
      {125, 2, 125, "no such step"},
  };
  EXPECT_EQ(VolumeLevel, 125) << "as start-up sets the player";
  for (const Case& c : cases) {
    VolumeLevel = c.from;
    const Strings calls = Calls({'S', 0, c.sub});
    EXPECT_EQ(VolumeLevel, c.to) << c.fault;
    EXPECT_EQ(calls, c.to == c.from ? Strings{} : Strings{"122 " + std::to_string(c.to)}) << c.fault;
  }
}

TEST_F(TransportCommands, EnqueuingAFolderAppendsItsFilesAndComesBack) {
  for (const char* file : {"Rock\\z.mp3", "Rock\\m.wav", "Rock\\a.mp3", "zz.mp3", "a.mp3"}) {
    Files.AddFile(std::string("C:\\Music\\") + file);
  }
  Files.AddFolder("C:\\Music\\Rock\\Live");
  struct Case {
    int32_t length;
    uint8_t index;
    int quitAfter;
    Strings appended;
    const char* fault;
  } cases[] = {
      {498, 0, -1, {"a.mp3"}, "two entries examined, the folder among them"},
      {500, 0, -1, {}, "a full playlist takes nothing"},
      {5, 0, 1, {"a.mp3"}, "quit stops the walk"},
      {5, 1, -1, {}, "a file entry is no folder"},
      {5, 2, -1, {}, "an index past BrowseCount"},
      {5, 0, -1, {"a.mp3", "m.wav", "z.mp3"}, "files in listing order, folders skipped"},
  };
  for (const Case& c : cases) {
    Fill(BrowseNames, {"\\Rock", "zz.mp3"});
    BrowseCount = 2;
    PlaylistLength = c.length;
    QuitAfterChecks = c.quitAfter < 0 ? -1 : QuitChecks + c.quitAfter;
    Strings expected;
    for (const std::string& name : c.appended) expected.push_back("copydata C:\\Music\\Rock\\" + name);
    Calls({'P', 0, 2, 0, c.index});
    EXPECT_EQ(Host.CallsStartingWith("copydata"), expected) << c.fault;
    EXPECT_STREQ(CurrentFolder, "C:\\Music\\") << c.fault;
  }
  EXPECT_EQ(Entries(BrowseNames, BrowseCount), (Strings{"a.mp3", "\\Rock", "zz.mp3"})) << "listed again, unsorted";
  Fill(BrowseNames, {"\\Gone"});
  Calls({'P', 0, 2, 0, 0});
  EXPECT_STREQ(CurrentFolder, "C:\\Music\\Gone\\") << "a failed scan stays inside";
}

}  // namespace

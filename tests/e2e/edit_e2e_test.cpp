// Playlist saving, song information and dumping with the real DLL in the emulated
// player: the files really written and moved, and the replies as the panel gets them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

#include "plugin_session.h"

namespace fs = std::filesystem;

namespace {

constexpr int kWaitMs = 5000;

class EditE2E : public OneSessionSuite {
 protected:
  static void SetUpTestSuite() {
    session = new PluginSession;
    session->Install();
    session->player.WriteFile("Music/three.mp3", "third song");
    session->Launch();
    ASSERT_EQ(session->Init(), "init\t0");
  }
  std::string Windows(const std::string& relative) { return S().player.WindowsPath(S().Music() + relative); }

  // Sends command and returns the reply that starts with letter and has length bytes;
  // empty when none came within the wait.
  Bytes Ask(const Bytes& command, char letter, size_t length) {
    const size_t from = S().line.FrameCount();
    S().line.Send(command);
    Frame reply;
    auto isReply = [&](const Frame& f) { return f.payload.size() == length && f.payload[0] == letter; };
    return S().line.WaitFor(from, isReply, kWaitMs, &reply) ? reply.payload : Bytes{};
  }
  static std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static std::string Field(const Bytes& reply, size_t at) { return reinterpret_cast<const char*>(&reply[at]); }
};

TEST_F(EditE2E, SavedPlaylistIsWrittenByteForByte) {
  S().Set({"playlist", "clear"});
  for (const char* path : {"C:\\Music\\a.mp3", "D:\\Other Folder\\b.wav", "C:\\Music\\c.mp3"}) S().Set({"playlist", "add", path});
  S().Set({"tag", "C:\\Music\\a.mp3", "TITLE", "Best: Of?"});
  const Bytes save = {'E', 0x11, 4, 0, 0, 0, 0, 7, 8, 9};
  EXPECT_EQ(Ask(save, 'E', 10), Bytes({'E', 0x11, 6, 0, 0, 0, 0, 7, 8, 9}));

  std::vector<fs::path> saved;
  for (const auto& entry : fs::directory_iterator(S().Music() + "QB_Playlists")) saved.push_back(entry.path());
  ASSERT_EQ(saved.size(), 1u);
  const std::regex name(R"(Best_ Of_-\d{4}-\d\d-\d\d-\d\d\.\d\d\.\d\d\.m3u)");
  EXPECT_TRUE(std::regex_match(saved[0].filename().string(), name)) << saved[0];
  const std::string expected("C:\\Music\\a.mp3\0\r\nD:\\Other Folder\\b.wav\0\r\nC:\\Music\\c.mp3\0\r\n", 58);
  EXPECT_EQ(ReadAll(saved[0]), expected);
}

TEST_F(EditE2E, InfoReplyCarriesWhatThePlayerKnows) {
  const std::string one = Windows("one.mp3");
  S().Set({"info", one, "245", "GENRE=Pop", "bitrate=128"});
  S().Set({"tag", one, "ARTIST", "An Artist"});
  S().Set({"tag", one, "TITLE", "A Title"});
  S().Set({"tag", one, "YEAR", "2005"});
  S().Set({"playlist", "clear"});
  S().Set({"playlist", "add", one});
  // one.mp3 is entry 0 of the playlist and, listed first in the music folder, of the browse list
  for (uint8_t source : {1, 0}) {
    const Bytes reply = Ask({'I', 0x22, source, 0, 0}, 'I', 100);
    ASSERT_EQ(reply.size(), 100u) << int(source);
    EXPECT_EQ(Bytes(reply.begin(), reply.begin() + 13), Bytes({'I', 0x22, source, 0, 0, 4, 5, 128, 20, 5, 'm', 'p', '3'}));
    EXPECT_EQ(Field(reply, 40), "An Artist");
    EXPECT_EQ(Field(reply, 70), "A Title");
  }
  EXPECT_EQ(S().player.Command({"misuse"}), "misuse\tuse-after-release=0\tdouble-release=0\tother-record=0\tunreleased=0");
}

TEST_F(EditE2E, DumpedFilesAreMovedIntoTheDumpFolder) {
  // The start-up scan lists the music folder as Wine does: by name, ignoring case.
  // one.mp3, QB_Dumped, QB_Playlists, three.mp3, two.wav.
  EXPECT_EQ(Ask({'F', 0x33, 0, 0, 4, 0x44}, 'F', 6), Bytes({'F', 0x33, 2, 0, 4, 0x44}));
  EXPECT_FALSE(fs::exists(S().Music() + "two.wav"));
  EXPECT_TRUE(fs::exists(S().Music() + "QB_Dumped/two.wav"));

  S().Set({"playlist", "clear"});
  S().Set({"playlist", "add", Windows("three.mp3")});
  S().Set({"pos", "0"});
  S().Set({"state", "1"});
  EXPECT_EQ(Ask({'F', 0x33, 1, 0, 0, 0x44}, 'F', 6), Bytes({'F', 0x33, 2, 0, 0, 0x44}));
  EXPECT_EQ(ReadAll(S().Music() + "QB_Dumped/three.mp3"), "third song");
  EXPECT_FALSE(fs::exists(S().Music() + "three.mp3"));
  EXPECT_NE(S().player.Command({"model"}).find("\tstate=0\t"), std::string::npos) << "the current song was stopped";
}

}  // namespace

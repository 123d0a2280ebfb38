// The examples of docs/protocol.md, run against the real codec and the real handlers, so
// that the reference cannot say one thing while the plug-in does another.
//
// An example is a fenced block labelled `frame`, one "key: value" a line (see "How to read
// the examples" in the document): set-up lines describe the player and the music folder,
// then come the steps. "status:" is the frame a tick sends with that set-up; "command:"
// is a frame from the panel, taken off the fake line by ReceiveFrame and handed to the
// dispatch as the tick does; the "reply:" after it is what WriteFrame then puts on the
// line ("none": nothing pending); "playlist now:" and "file now:" check the result.
#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "fakes/fake_port.h"
#include "host/host_catalogue.h"
#include "handler_fixture.h"
#include "protocol/status_frame.h"
#include "serial/frame.h"

namespace {

const std::string kMusic = "C:\\Music\\";

struct DocLine {
  std::string key, value;
};
struct Example {
  int line;  // in the document, for messages
  std::vector<DocLine> lines;
};

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t");
  const size_t b = s.find_last_not_of(" \t\r");
  return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

Strings SplitList(const std::string& value) {
  Strings items;
  std::stringstream in(value);
  for (std::string item; std::getline(in, item, ',');) {
    if (!Trim(item).empty()) items.push_back(Trim(item));
  }
  return items;
}

// Every ```frame block; an indented line continues the value above it.
std::vector<Example> ReadExamples(const char* path) {
  std::ifstream in(path);
  std::vector<Example> examples;
  bool inside = false;
  int number = 0;
  for (std::string text; std::getline(in, text);) {
    number++;
    if (!inside) {
      if (Trim(text) == "```frame") {
        inside = true;
        examples.push_back({number, {}});
      }
      continue;
    }
    if (Trim(text) == "```") {
      inside = false;
    } else if (!text.empty() && (text[0] == ' ' || text[0] == '\t') && !examples.back().lines.empty()) {
      examples.back().lines.back().value += " " + Trim(text);
    } else if (const size_t colon = text.find(':'); colon != std::string::npos) {
      examples.back().lines.push_back({Trim(text.substr(0, colon)), Trim(text.substr(colon + 1))});
    }
  }
  return examples;
}

// Hex bytes, XX*N for N bytes of XX, "text" for its characters (no NUL added).
Bytes ParseBytes(const std::string& text) {
  Bytes bytes;
  for (size_t i = 0; i < text.size();) {
    if (text[i] == ' ') {
      i++;
    } else if (text[i] == '"') {
      const size_t end = text.find('"', i + 1);
      if (end == std::string::npos) throw std::runtime_error("unclosed text in " + text);
      bytes.insert(bytes.end(), text.begin() + static_cast<long>(i) + 1, text.begin() + static_cast<long>(end));
      i = end + 1;
    } else {
      const size_t end = std::min(text.find(' ', i), text.size());
      const std::string token = text.substr(i, end - i);
      const size_t star = token.find('*');
      const uint8_t value = static_cast<uint8_t>(std::stoul(token.substr(0, star), nullptr, 16));
      const size_t count = star == std::string::npos ? 1 : std::stoul(token.substr(star + 1));
      bytes.insert(bytes.end(), count, value);
      i = end;
    }
  }
  return bytes;
}

std::string Hex(const Bytes& bytes) {
  std::string text;
  char b[4];
  for (uint8_t v : bytes) {
    std::snprintf(b, sizeof b, "%02X ", v);
    text += b;
  }
  return text;
}

// The letters of an example's commands, "B" for a status frame.
std::set<char> Letters(const Example& e) {
  std::set<char> letters;
  for (const DocLine& l : e.lines) {
    if (l.key == "status") letters.insert('B');
    if (l.key != "command") continue;
    const Bytes frame = ParseBytes(l.value);
    const auto start = std::search(frame.begin(), frame.end(), kStartMarker, kStartMarker + 2);
    if (frame.end() - start > 4) letters.insert(static_cast<char>(start[4]));
  }
  return letters;
}

class ProtocolDoc : public HandlerTest {
 protected:
  void SetUp() override {
    HandlerTest::SetUp();
    ResetFakeLine();
    FrameSequence = 0;
    TimeDisplayMode = 0;
    SetFolder(DumpDir, "C:\\Dumped\\");
    SetFolder(PlaylistDir, "C:\\Playlists\\");
    Files.AddFolder(DumpDir);
    Files.AddFolder(PlaylistDir);
  }

  // Entries C:\Music\<name>, titled <name> without its extension; "499 songs" stands for
  // Song 1.mp3 to Song 499.mp3.
  static void AddToPlaylist(const std::string& value) {
    Strings names = SplitList(value);
    if (names.size() == 1 && names[0].find(" songs") != std::string::npos) {
      const int n = std::stoi(names[0]);
      names.clear();
      for (int i = 1; i <= n; i++) names.push_back("Song " + std::to_string(i) + ".mp3");
    }
    for (const std::string& name : names) {
      Host.files.push_back(kMusic + name);
      Host.titles[kMusic + name] = name.substr(0, name.rfind('.'));
    }
  }

  // "name = artist, title, year, seconds, bitrate": what the player knows of the file.
  static void AddDetails(const std::string& value) {
    const size_t eq = value.find('=');
    const std::string path = kMusic + Trim(value.substr(0, eq));
    const Strings d = SplitList(value.substr(eq + 1));
    ASSERT_EQ(d.size(), 5u) << value;
    Host.tags[path + "|ARTIST"] = d[0];
    Host.titles[path] = d[1];
    Host.tags[path + "|YEAR"] = d[2];
    Host.fileInfo[path] = {std::stoi(d[3]), {{"BITRATE", d[4]}}};
  }

  // Returns true when the key was a set-up line.
  static bool Apply(const DocLine& l) {
    const std::map<std::string, int32_t> states = {{"playing", 1}, {"paused", 3}, {"stopped", 0}};
    if (l.key == "playlist") AddToPlaylist(l.value);
    else if (l.key == "position") Host.position = std::stoi(l.value);
    else if (l.key == "state") Host.playState = states.at(l.value);
    else if (l.key == "elapsed ms") Host.elapsedMs = std::stoi(l.value);
    else if (l.key == "length s") Host.trackSeconds = std::stoi(l.value);
    else if (l.key == "shuffle") Host.shuffle = l.value == "on";
    else if (l.key == "time shown") TimeDisplayMode = l.value == "remaining";
    else if (l.key == "folder") SetFolder(CurrentFolder, l.value);
    else if (l.key == "files") for (const std::string& f : SplitList(l.value)) Files.AddFile(kMusic + f);
    else if (l.key == "found") for (const std::string& t : SplitList(l.value)) Host.results.push_back({kMusic + t + ".mp3", t});
    else if (l.key == "details") AddDetails(l.value);
    else if (l.key == "sequence") FrameSequence = static_cast<uint8_t>(std::stoul(l.value, nullptr, 0));
    else return false;
    return true;
  }

  // The browse list as a "Q" leaves it: the folder being browsed, folders first.
  static void ListCurrentFolder() {
    BrowseCount = 0;
    ScanFolder(CurrentFolder, ExtensionTable, ExtensionCount, BrowseNames, BrowseTitles, &BrowseCount);
    SortBrowseListsFoldersFirst(BrowseNames, BrowseTitles, BrowseCount);
  }

  // What the tick reads before it sends the status frame and dispatches a command.
  static void ReadPlayerAsTheTickDoes() {
    const int32_t length = HostPlaylistLength();
    PlaylistLength = length > static_cast<int32_t>(kMaxListEntries) ? kMaxListEntries : length;
    const uint32_t position = static_cast<uint32_t>(HostPlaylistPosition());
    PlaylistPosition = position > kMaxListEntries ? kMaxListEntries : position;
  }

  static Bytes TakeWritten() {
    const Bytes written = Line.Written();
    Line.writes.clear();
    return written;
  }

  static void SendStatus(const std::string& expected) {
    ReadPlayerAsTheTickDoes();
    uint8_t status[kStatusPayloadSize];
    BuildStatusPayload(status, PlaylistLength, PlaylistPosition);
    SendFrame(status, sizeof status);
    EXPECT_EQ(Hex(TakeWritten()), Hex(ParseBytes(expected)));
  }

  static void RunCommand(const std::string& frame) {
    ReadPlayerAsTheTickDoes();
    Line.Queue(ParseBytes(frame));
    FrameBuffer received;
    ASSERT_EQ(ReceiveFrame(received, kCommandWaitMs), 1) << "the plug-in does not take this frame";
    EXPECT_TRUE(Line.inbound.empty()) << "bytes left after the frame";
    DispatchCommand(received + kPayloadOffset);
  }

  // What the next tick would find of it is no concern here.
  static void RefuseFrame(const std::string& frame) {
    Line.Queue(ParseBytes(frame));
    FrameBuffer received;
    EXPECT_EQ(ReceiveFrame(received, kCommandWaitMs), 0) << "the plug-in takes this frame";
    Line.inbound.clear();
  }

  // As the next idle tick does: the pending reply goes out and the buffer is emptied.
  static void CheckReply(const std::string& expected) {
    if (ReplyPending()) WriteFrame(ReplyBuffer);
    std::memset(ReplyBuffer, 0, sizeof ReplyBuffer);
    EXPECT_EQ(Hex(TakeWritten()), expected == "none" ? "" : Hex(ParseBytes(expected)));
  }

  static void CheckPlaylist(const std::string& expected) {
    Strings names;
    for (const std::string& f : Host.files) names.push_back(f.rfind(kMusic, 0) == 0 ? f.substr(kMusic.size()) : f);
    EXPECT_EQ(names, SplitList(expected));
  }

  // Runs one example; its set-up lines must come before its first step.
  void Run(const Example& e) {
    SCOPED_TRACE("docs/protocol.md line " + std::to_string(e.line));
    bool steps = false;
    for (const DocLine& l : e.lines) {
      SCOPED_TRACE(l.key + ": " + l.value);
      if (!steps && Apply(l)) continue;
      if (!steps) ListCurrentFolder();
      steps = true;
      if (l.key == "status") SendStatus(l.value);
      else if (l.key == "command") RunCommand(l.value);
      else if (l.key == "reply") CheckReply(l.value);
      else if (l.key == "refused") RefuseFrame(l.value);
      else if (l.key == "playlist now") CheckPlaylist(l.value);
      else if (l.key == "file now") EXPECT_TRUE(Files.Exists(l.value));
      else ADD_FAILURE() << "a line the examples do not know";
    }
  }

  // Runs every example; returns the letters they use.
  std::set<char> RunAll() {
    std::set<char> letters;
    const std::vector<Example> examples = ReadExamples(QB_PROTOCOL_DOC);
    EXPECT_GE(examples.size(), 30u) << "the document lost its examples";
    for (const Example& e : examples) {
      TearDown();
      SetUp();
      Run(e);
      for (char letter : Letters(e)) letters.insert(letter);
    }
    return letters;
  }
};

TEST_F(ProtocolDoc, ExamplesAreWhatThePlugInDoes) {
  EXPECT_EQ(RunAll(), (std::set<char>{'B', 'E', 'F', 'I', 'L', 'O', 'P', 'Q', 'S'})) << "every letter has an example";
}

}  // namespace

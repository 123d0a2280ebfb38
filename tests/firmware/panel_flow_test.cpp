// The whole panel against the fake plug-in's end of the line (tests/fakes/fake_plugin_line),
// which ticks, keeps lists and answers as the plug-in does: every screen reached with the
// five keys, what each action sends, and how lists are fetched, kept and fetched again.
#include <gtest/gtest.h>

#include <cctype>
#include <sstream>
#include <string>
#include <vector>

#include "fake_board.h"
#include "fake_plugin_line.h"
#include "logic/key_ladder.h"
#include "logic/board_io.h"
#include "logic/panel.h"

namespace {

constexpr uint16_t kNoKey = 1023;

// A key by its name, on the simulated board's ladder, or a reading by its number.
uint16_t Reading(const std::string& key) {
  if (!key.empty() && isdigit(static_cast<unsigned char>(key[0]))) return static_cast<uint16_t>(std::stoi(key));
  if (key == "right") return 0;
  if (key == "up") return 143;
  if (key == "down") return 327;
  if (key == "left") return 511;
  return 736;  // select
}

struct Flow {
  FakePluginLine line;
  size_t commandsSeen = 0;

  Flow() {
    ResetBoard();
    PanelStart();
    line.plugin.lists[1] = {"\\Rock", "Song A", "Song B"};
    line.plugin.lists[0] = {"First", "Second", "Third"};
  }

  // The panel and the plug-in run for ms on the plug-in's clock, the panel's commands
  // written back as it sends them.
  void Run(double ms) {
    line.plugin.status[9] = static_cast<uint8_t>(line.plugin.lists[0].size());  // the playlist's length
    for (const double until = line.now + ms; line.now < until;) {
      uint8_t bytes[256];
      const int n = line.Read(bytes, sizeof bytes, 5);
      Board.nowMs = static_cast<uint32_t>(line.now);
      for (int i = 0; i < n; i++) Board.incoming.push_back(bytes[i]);
      const size_t before = Board.sent.size();
      PanelStep();
      for (size_t i = before; i < Board.sent.size(); i++) line.Write(Board.sent[i].bytes);
    }
  }
  void Hold(const std::string& key, double ms) {
    Board.keyReading = Reading(key);
    Run(ms);
    Board.keyReading = kNoKey;
    Run(300);
  }
  // The encoder's push held for ms, turned by detents (anticlockwise below 0) meanwhile.
  void Push(double ms, int turns) {
    Board.pushDown = true;
    Run(ms);
    Board.turns = static_cast<int8_t>(turns);
    Run(100);
    Board.pushDown = false;
    Run(300);
  }
  std::string Rows() const { return ShownRow(0) + "|" + ShownRow(1); }
  // The commands the plug-in took since the last call: "Q1:65535 L6 L0 ...".
  std::string Taken() {
    std::string all;
    for (; commandsSeen < line.plugin.commands.size(); commandsSeen++) {
      const Bytes& c = line.plugin.commands[commandsSeen].payload;
      all += (all.empty() ? "" : " ") + std::string(1, static_cast<char>(c[0])) + std::to_string(c[2]);
      const int index = c.size() > 4 ? c[3] << 8 | c[4] : 0;
      if (index != 0) all += ":" + std::to_string(index);
      if (c[0] == 'Q' && c[2] == 4) all += ":" + std::string(reinterpret_cast<const char*>(&c[6]));
    }
    return all;
  }
  // What the rows begin with ("row0|row1", either may be left out), or hold anywhere.
  bool Shows(const std::string& text) const {
    const size_t bar = text.find('|');
    if (bar == std::string::npos) return Rows().find(text) != std::string::npos;
    return ShownRow(0).rfind(text.substr(0, bar), 0) == 0 && ShownRow(1).rfind(text.substr(bar + 1), 0) == 0;
  }
  // Steps of a script: "press KEY", "long KEY", "down KEY" (held, left down), "up", "run MS",
  // the encoder's "turn DETENTS" (anticlockwise below 0), "push", "long push" and
  // "push-turn DETENTS" (turned while pushed),
  // "show TEXT" (Shows), "took COMMANDS" (those taken since the last "took" hold these, in
  // this order), "none LETTER" (none of those has this letter).
  void Script(const std::vector<std::string>& steps) {
    for (const std::string& step : steps) {
      std::istringstream in(step);
      std::string verb, rest;
      in >> verb;
      std::getline(in >> std::ws, rest);
      SCOPED_TRACE(step);
      if (verb == "press") Hold(rest, 100);
      if (verb == "long" && rest == "push") Push(800, 0);
      if (verb == "long" && rest != "push") Hold(rest, 800);
      if (verb == "push") Push(100, 0);
      if (verb == "push-turn") Push(100, std::stoi(rest));
      if (verb == "turn") {
        Board.turns = static_cast<int8_t>(std::stoi(rest));
        Run(100);
      }
      if (verb == "down") {
        Board.keyReading = Reading(rest);
        Run(100);
      }
      if (verb == "up") Hold("1023", 0);
      if (verb == "run") Run(std::stod(rest));
      if (verb == "show") EXPECT_TRUE(Shows(rest)) << Rows();
      if (verb == "none") EXPECT_EQ(Taken().find(rest), std::string::npos);
      if (verb == "took") {
        const std::string taken = Taken();
        size_t at = 0;
        std::istringstream want(rest);
        for (std::string w; want >> w; at += w.size()) {
          at = (" " + taken + " ").find(" " + w + " ", at);
          ASSERT_NE(at, std::string::npos) << w << " not in order in: " << taken;
        }
      }
    }
  }
};

TEST(PanelFlow, EveryScreenFromTheFiveKeys) {
  struct Case {
    const char* what;
    std::vector<std::string> script;
  } cases[] = {
      {"browse, open a folder and play a song",
       {"run 200", "long select", "show >Browse", "press select", "run 1000", "took Q1:65535 L6 L0 L0", "show >/Rock|",
        "show  Song A", "press down", "show >Song A", "press select", "took P3:1", "show Play"}},
      {"a folder's entry actions",
       {"run 200", "long select", "press select", "run 1000", "press right", "show >Open|", "show  Play folder",
        "press down", "press down", "press select", "run 1000", "took P2 Q1:65535 L6", "show >/Rock"}},
      {"the playlist from a long Down, opened at the song that plays",
       {"run 200", "long down", "run 1000", "took Q3 L6 L0", "show >First", "press left", "show >Browse"}},
      {"a search typed with the keys",
       {"run 200", "long select", "press down", "press down", "press select", "press up", "press right", "press up",
        "press up", "show ab", "press select", "run 1000", "took Q4:ab L6"}},
      {"song info on pages", {"run 200",      "long select",
                              "press select", "run 1000",
                              "press down",   "press right",
                              "press down",   "press down",
                              "press select", "run 300",
                              "took I0:1",    "show Artist|Artist",
                              "press down",   "show Title|Song",
                              "press down",   "show Length  4:05|Bitrate 128kbps",
                              "press down",   "show Year    2005|Type    mp3",
                              "press left",   "show >Song A"}},
      {"a dump asks first, naming the song as the plug-in names it",
       {"run 200", "long select", "press select", "run 1000", "press down", "press right", "press down", "press down",
        "press down", "press select", "run 300", "took I0:1", "show Dump? Sel=yes|Song", "press select", "show Dumped",
        "run 1000", "took F0:1 Q1:65535 L6"}},
      {"the options",
       {"run 200", "long select", "press down", "press down", "press down", "press select", "show >Shuffle: off",
        "press select", "took O1", "press down", "press down", "press select", "took S0"}},
      {"clearing the playlist asks first",
       {"run 200",
        "long down",
        "run 1000",
        "press right",
        "press down",
        "press down",
        "press down",
        "press down",
        "press down",
        "press down",
        "show >Clear playlist",
        "press select",
        "show Clear playlist?",
        "press left",
        "run 200",
        "took",
        "press right",
        "press down",
        "press down",
        "press down",
        "press down",
        "press down",
        "press down",
        "press select",
        "press select",
        "run 300",
        "took E5",
        "show Playlist cleared"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Flow flow;
    flow.Script(c.script);
  }
}

TEST(PanelFlow, ALongPressWhereAScreenHasNoLongMeaningDoesWhatTheShortOneDoes) {
  const std::vector<std::string> toOptions = {"run 200",    "long select", "press down",
                                              "press down", "press down",  "press select"};
  const std::vector<std::string> toFolderActions = {"run 200",       "long select", "press select", "run 1000",
                                                    "took Q1:65535", "press right", "show >Open|"};
  const std::vector<std::string> toPlaylistActions = {"run 200", "long down", "run 1000", "show >First", "press right"};
  struct Case {
    const char* what;
    std::vector<std::string> reach, script;
  } cases[] = {
      {"the menu: Select opens the music folder",
       {"run 200", "long select", "show >Browse"},
       {"long select", "run 1000", "took Q1:65535", "show >/Rock"}},
      {"the options: Select switches shuffle", toOptions, {"show >Shuffle: off", "long select", "took O1"}},
      {"the options: Left goes back to the menu", toOptions, {"long left", "show >Browse"}},
      {"an entry's actions: Select opens the folder", toFolderActions, {"long select", "run 1000", "took Q1"}},
      {"an entry's actions: Left goes back to the list", toFolderActions, {"long left", "show >/Rock"}},
      {"a move: Select places the entry",
       toPlaylistActions,
       {"press down", "press down", "show >Move", "press select", "show Move 1 to 1", "press down", "long select",
        "run 300", "took E1"}},
      {"a move: Left leaves it",
       toPlaylistActions,
       {"press down", "press down", "press select", "press down", "long left", "run 300", "show >First", "none E"}},
      {"a question: Select says yes",
       toPlaylistActions,
       {"press down", "press down", "press down", "press down", "press down", "press down", "show >Clear playlist",
        "press select", "show Clear playlist?", "long select", "run 300", "took E5"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Flow flow;
    flow.Script(c.reach);
    flow.Script(c.script);
  }
}

TEST(PanelFlow, TheKeyCheckAndACalibrationForAnotherLadder) {
  Flow flow;
  flow.Script({"run 200", "long select", "press down", "press down", "press down", "press select", "press down",
               "press down", "press down", "press down", "show >Key check", "press select", "run 1500",
               "show Key: none   1023|Sel=set Left=out", "down 683", "show Key: Select  683", "up",
               // calibrated: each key pressed when asked, Right first
               "long select", "show Press Right 1/5|Hold=stop   1023", "press 0", "show Press Up 2/5", "press 512",
               "press 683", "press 768", "down 819", "show Press Select 5/5|Hold=stop    819"});
  // "Keys calibrated" only once the record is whole in EEPROM: a reset before then
  // keeps the thresholds of before.
  Board.keyReading = kNoKey;
  bool said = false;
  for (int ms = 0; ms < 300 && !said; ms += 5) {
    flow.Run(5);
    said = flow.Shows("Key: none   1023|Keys calibrated");
    if (said) EXPECT_FALSE(StoreWriting()) << "said at " << ms << " ms, the record still being written";
  }
  EXPECT_TRUE(said) << flow.Rows();
  flow.Script({"down 683", "show Key: Down    683", "up"});
  EXPECT_TRUE(LadderCalibrated());
  // Kept in EEPROM for the next start-up; then back to the defaults, by a held Right.
  // A key held as the panel starts opens the key check.
  PanelStart();
  flow.Script({"down 0", "show Key: Right     0|Keys: calibrated", "up", "long right", "show Keys: default", "down 683",
               "show Key: Select  683", "up"});
  EXPECT_FALSE(LadderCalibrated());
  // A held key stops a calibration, and nothing changes; held Left goes back.
  flow.Script({"long select", "show Press Right", "press 0", "down 512", "run 3000", "show Keys unchanged", "up",
               "show Key: none", "long left"});
  EXPECT_EQ(ShownRow(0).find("Key:"), std::string::npos) << flow.Rows();
  EXPECT_FALSE(LadderCalibrated());
}

TEST(PanelFlow, TheLastOfFiveHundredTitlesInOneTransfer) {
  Flow flow;
  auto& folder = flow.line.plugin.lists[1];
  folder.clear();
  for (int i = 0; i < 500; i++) folder.push_back("Title " + std::to_string(i));
  flow.Script({"run 200", "long select", "press select"});
  // At once, before the list is counted: the window follows the stream to the end.
  flow.Script({"long right"});
  const long ticksAtJump = flow.line.ticks;
  for (int i = 0; i < 400 && flow.Rows().find(">Title 499") == std::string::npos; i++) flow.Run(50);
  EXPECT_EQ(flow.Rows(), ">Title 499      |                ") << "the last, with nothing below it";
  // One whole transfer: 63 chunks, each one tick for the command and one for the reply.
  EXPECT_LE(flow.line.ticks - ticksAtJump, 2 * 63 + 6);
  flow.Script({"press up", "show >Title 498|", "show  Title 499"});
}

TEST(PanelFlow, AListThatChangesAtThePluginIsFetchedAgain) {
  Flow flow;
  flow.Script({"run 200", "long down", "run 1000", "show >First"});
  // The player changed its playlist: the plug-in chooses it by itself, with tag 0.
  flow.line.plugin.lists[0] = {"New one", "New two"};
  flow.line.plugin.playlistChanged = true;
  flow.Script({"run 1500", "show >New one|", "show  New two"});
  // A lost chunk: the transfer starts over, and the list still comes whole.
  flow.line.plugin.dropNextChunk = true;
  flow.line.plugin.lists[0] = {"Again one", "Again two"};
  flow.line.plugin.playlistChanged = true;
  flow.Script({"run 2000", "show >Again one|", "show  Again two"});
}

TEST(PanelFlow, TheEncoderAloneReachesWhatTheKeysReach) {
  // A search for "ab" typed with the encoder, its results shown.
  const std::vector<std::string> toResults = {"run 200", "long push", "turn 2", "push", "turn -1", "push-turn 1",
                                              "turn -2", "show ab", "push", "run 1000", "took Q4:ab L6",
                                              "show >Found one"};
  struct Case {
    const char* what;
    std::vector<std::string> reach, script;
  } cases[] = {
      {"the music folder closed from its top, where Left only lists it again",
       {"run 200", "long push", "push", "run 1000", "took Q1:65535", "show >/Rock", "push-turn -1", "run 1000",
        "took Q0", "show >/Rock"},
       {"long push", "show >Open", "turn 4", "show >Back to menu", "push", "show >Browse"}},
      {"a result's song info closed, the results still shown",
       toResults,
       {"long push", "turn 2", "show >Song info", "push", "run 300", "took I2", "show Artist|Artist", "push-turn -1",
        "show >Found one"}},
      {"a result played: the status screen at once",
       toResults,
       {"long push", "show >Play", "push", "took P4", "show |Play"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Flow flow;
    flow.line.plugin.lists[2] = {"Found one", "Found two"};
    flow.Script(c.reach);
    flow.Script(c.script);
  }
}

}  // namespace

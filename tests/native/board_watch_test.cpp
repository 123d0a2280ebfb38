// The board soak's reading of the board's lines, its person at the keys and its ledger:
// what counts as a restart nobody asked for, a hang, a tick, a dump, an answer; keys the
// board's script takes; what the ledger counts as a file changed or left behind.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "board_watch.h"
#include "file_ledger.h"
#include "panel_person.h"
#include "small_disk.h"

namespace {

struct ResetCase {
  std::vector<std::string> lines;
  size_t failures;
  int portResets;
};

TEST(BoardWatch, OnlyPowerOnAnOpeningAndTheBootloadersExitAfterOneAreRestartsWithoutFault) {
  const ResetCase cases[] = {
      {{"reset 0.0 power on", "reset 1503.1 port opened", "reset 2966.6 watchdog"}, 0, 1},
      {{"reset 0.0 power on", "reset 0.0 power on"}, 1, 0},                      // a second power on
      {{"reset 0.0 power on", "reset 900000.0 watchdog"}, 1, 0},                 // the firmware's own watchdog
      {{"reset 1503.1 port opened", "reset 4100.0 watchdog"}, 1, 1},             // too long after the opening
      {{"reset 1503.1 port opened", "reset 9000.0 port opened", "reset 10530.0 watchdog"}, 0, 2},
      {{"reset 5.0 brown-out"}, 1, 0},
      {{"fault 1881.7 display data 38.0 us into an instruction of 52.6 us"}, 1, 0},
      {{"halt 5000.0 crashed"}, 1, 0},
  };
  for (const ResetCase& c : cases) {
    BoardWatch watch;
    watch.Read(c.lines, 0);
    EXPECT_EQ(watch.failures.size(), c.failures) << c.lines.back();
    EXPECT_EQ(watch.portResets, c.portResets) << c.lines.back();
  }
}

TEST(BoardWatch, TicksAreTheStatusFramesPeriodsNotAcrossAReplugAndDumpsAreTheFramesOfF) {
  BoardWatch watch;
  std::vector<std::string> lines = {"rx 100.0 92 B",  "rx 140.0 92 B",  "rx 141.0 6 L",
                                    "tx 150.0 6 F 0", "tx 151.0 2 P 3", "rx 190.0 92 B"};
  watch.Read({lines.begin(), lines.begin() + 2}, 0);
  watch.Break(lines, 0);  // what came before the break, read first: no period across it
  lines.insert(lines.end(), {"rx 9000.0 92 B", "rx 9036.0 92 B", "tx 9040.0 6 F 0"});  // all of them, as the board's
  watch.Read(lines, 0);
  EXPECT_EQ(watch.periods, (std::vector<double>{40, 50, 36}));
  EXPECT_EQ(watch.statusFrames, 5);
  EXPECT_EQ(watch.dumpsSent, 2);
  EXPECT_EQ(watch.sent["P"], 1);
  EXPECT_TRUE(watch.failures.empty());
}

struct AnswerCase {
  std::vector<std::string> lines;
  int answered, unanswered, displaced;
  size_t failures;
};

TEST(BoardWatch, ACommandIsAnsweredBeforeTheSecondStatusFrameAfterItOrUnansweredWhichFailsOnlyForIAndAChosenLOnTime) {
  const std::vector<std::string> chosen = {"tx 0.0 26 Q 1", "rx 36.0 92 B", "rx 37.0 6 L"};
  const AnswerCase cases[] = {
      {{"tx 100.0 6 L 0", "rx 136.0 92 B", "rx 137.0 244 D"}, 2, 0, 0, 0},
      {{"tx 100.0 6 L 0", "rx 136.0 92 B", "rx 171.0 92 B"}, 1, 1, 0, 1},
      {{"tx 100.0 6 L 0", "rx 136.0 92 B", "rx 400.0 92 B"}, 1, 1, 0, 0},  // a tick held up: asked again
      {{"tx 100.0 100 I 0", "rx 136.0 92 B", "rx 137.0 244 D", "rx 171.0 92 B"}, 1, 1, 0, 1},  // not its reply
      {{"tx 100.0 10 E 4", "rx 136.0 92 B", "rx 171.0 92 B"}, 1, 1, 0, 0},  // a refusal of its own
      {{"tx 100.0 100 I 0", "rx 136.0 92 B", "rx 137.0 6 L", "rx 171.0 92 B"}, 1, 0, 1, 0},  // the player's change
      {{"tx 100.0 7 P 1", "rx 136.0 92 B", "rx 171.0 92 B"}, 1, 0, 0, 0},  // nothing comes back
  };
  for (const AnswerCase& c : cases) {
    BoardWatch watch;
    std::vector<std::string> lines = chosen;
    lines.insert(lines.end(), c.lines.begin(), c.lines.end());
    watch.Read(lines, 0);
    int answered = 0, unanswered = 0;
    for (const auto& [letter, n] : watch.answered) answered += n;
    for (const auto& [letter, n] : watch.unanswered) unanswered += n;
    EXPECT_EQ(answered, c.answered) << c.lines[0];
    EXPECT_EQ(unanswered, c.unanswered) << c.lines[0];
    EXPECT_EQ(watch.displaced, c.displaced) << c.lines[0];
    EXPECT_EQ(watch.failures.size(), c.failures) << c.lines[0];
  }
  BoardWatch watch;
  std::vector<std::string> lines = {"tx 0.0 26 Q 1", "rx 36.0 92 B", "rx 37.0 6 L", "tx 40.0 6 L 0"};
  watch.Break(lines, 0);
  lines.insert(lines.end(), {"rx 9000.0 92 B", "tx 9001.0 6 L 0", "rx 9036.0 92 B", "rx 9071.0 92 B"});
  watch.Read(lines, 0);
  EXPECT_TRUE(watch.failures.empty()) << "in flight at the break, and a list the player started again lost";
  EXPECT_EQ(watch.unanswered["L"], 1);
}

TEST(BoardWatch, APluggedLineWithoutStatusFramesForEightSecondsIsAHang) {
  BoardWatch watch;
  watch.Read({"rx 100.0 92 B"}, 1000);
  EXPECT_FALSE(watch.Hung(1000 + kHangMs, 0));
  EXPECT_TRUE(watch.Hung(1001 + kHangMs, 0));
  EXPECT_FALSE(watch.Hung(1001 + kHangMs, 5000)) << "plugged back since 5 s: the reopening's time counts from there";
}

TEST(PanelPerson, EveryActionIsAKeyTheBoardTakesWithAPauseOfAPerson) {
  PanelPerson person(7);
  const std::set<std::string> keys = {"up", "down", "left", "right", "select"};
  std::set<std::string> kinds;
  int shortPresses = 0;
  for (int i = 0; i < 5000; i++) {
    const KeyAction a = person.Next();
    const size_t space = a.command.find(' ');
    const std::string verb = a.command.substr(0, space);
    const std::string key = a.command.substr(space + 1, a.command.find(' ', space + 1) - space - 1);
    EXPECT_TRUE(verb == "press" || verb == "hold") << a.command;
    EXPECT_TRUE(keys.count(key)) << a.command;
    EXPECT_GE(a.thinkMs, 150);
    EXPECT_LE(a.thinkMs, 20000);
    shortPresses += verb == "press";
    kinds.insert(a.kind);
  }
  EXPECT_GT(shortPresses, 4000) << "mostly short presses";
  EXPECT_TRUE(kinds.count("long select") && kinds.count("3 s hold")) << "long presses and the odd long hold";
  std::set<std::string> errands;
  for (int i = 0; i < 200; i++) {
    std::string name;
    for (const KeyAction& a : person.Errand(&name)) {
      const std::string verb = a.command.substr(0, a.command.find(' '));
      EXPECT_TRUE(verb == "press" || verb == "hold") << a.command;
    }
    errands.insert(name);
  }
  EXPECT_EQ(errands, (std::set<std::string>{"browse", "clear", "dump", "key check", "save", "search"}));
}

}  // namespace

namespace {

void Write(const std::filesystem::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

}  // namespace

TEST(FileLedger, TheDisksFillerIsNoneOfItsFilesAndTheSettingsFileMustKeepItsTextAndItsFolderItsNames) {
  const std::filesystem::path top = std::filesystem::temp_directory_path() / ("ledger_test_" + std::to_string(getpid()));
  std::filesystem::create_directories(top / "Music");
  std::filesystem::create_directories(top / "Plugins");
  const std::string settings = (top / "Plugins/plugin.ini").string();
  Write(settings, "[Quillbox]\r\nComPort=5\r\n");
  FileLedger ledger((top / "Music").string() + "/");
  ledger.Add("song.mp3");
  ledger.KeepOutside(settings);
  Write(top / "Music" / SmallDisk::kFillerName, "filler");
  EXPECT_TRUE(ledger.Check(-1).failures.empty());
  Write(settings, "[Quillbox]\r\nComPort=5\r\n");  // rewritten with the same text, as a start does
  EXPECT_TRUE(ledger.OutsideFaults().empty());
  Write(top / "Plugins/plugin.ini.qbold", "[Quillbox]\r\n");
  Write(settings, "[Quillbox]\r\n");
  EXPECT_EQ(ledger.OutsideFaults().size(), 2u) << "changed, and a backup left beside it";
  std::filesystem::remove_all(top);
}

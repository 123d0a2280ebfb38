// The key calibration kept in the simulated board's EEPROM, which writes as the chip
// does (3.4 ms a byte, a byte cut by a reset left erased): a calibration for another
// maker's ladder, then a reset in the middle of its write, after it, or a brown-out.
// The panel must start with either the whole calibration or the defaults, and say
// "Keys calibrated" only for one a reset can no longer take away. No player, no Wine:
// the key check opens when a key is held as the firmware starts.
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "board_process.h"

namespace {

constexpr int kWaitMs = 5000;

class EepromBoard {
 public:
  EepromBoard() {
    char dir[] = "/tmp/qb_eeprom_XXXXXX";
    dir_ = mkdtemp(dir) ? dir : "/tmp";
  }
  ~EepromBoard() {
    board.Stop();
    std::remove((dir_ + "/com").c_str());
    rmdir(dir_.c_str());
  }
  // On the ladder that only a calibration reads: Down (683) is Select under the defaults.
  bool Start() { return board.Start(QB_PANEL_ELF, dir_ + "/com", {"--keys", "0/512/683/768/819"}); }
  // The key check, opened by a key held at start; held Select there calibrates. Each key
  // when it is asked for; `beforeLast` just before the fifth.
  void Calibrate(const std::string& beforeLast) {
    board.Do("hold select 1000");
    ASSERT_TRUE(board.WaitForText("Keys: default", kWaitMs));
    board.Do("hold select 1000");
    const char* const keys[][2] = {
        {"Press Right", "right"}, {"Press Up", "up"}, {"Press Down", "down"}, {"Press Left", "left"},
        {"Press Select", "select"}};
    for (const auto& key : keys) {
      ASSERT_TRUE(board.WaitForText(key[0], kWaitMs));
      if (std::string(key[1]) == "select" && !beforeLast.empty()) board.Send(beforeLast);
      board.Do(std::string("press ") + key[1]);
    }
  }
  BoardProcess board;

 private:
  std::string dir_;
};

TEST(BoardEeprom, ACalibrationCutByAResetIsWholeOrGone) {
  struct Case {
    const char* what;
    const char* beforeLast;          // a command just before the fifth key
    std::vector<std::string> after;  // once the fifth key is up
    bool kept;
    const char* cut;  // the board's line on the byte cut, "" when none was
  } cases[] = {
      {"a reset in the middle of the thresholds' write", "reset-in-write 5", {}, false, "write of 0x015 cut"},
      // the 13th byte is the format byte, written last
      {"a reset in the middle of the last byte", "reset-in-write 13", {}, false, "write of 0x010 cut"},
      // said only once the record is whole: a reset at once takes nothing away
      {"a reset as soon as it says Keys calibrated", "", {"wait Keys calibrated", "reset"}, true, ""},
      // the chip outside its rated supply writes where the address register points: parked
      // off the record
      {"a brown-out after it", "", {"wait Keys calibrated", "brownout"}, true, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EepromBoard e;
    ASSERT_TRUE(e.Start());
    e.Calibrate(c.beforeLast);
    for (const std::string& command : c.after) {
      if (command.rfind("wait ", 0) == 0) {
        ASSERT_TRUE(e.board.WaitForText(command.substr(5), kWaitMs));
      } else {
        e.board.Send(command);
      }
    }
    // Down held from the reset (or just after it) until the firmware has started: the
    // key check opens and says which thresholds it took from the EEPROM.
    e.board.Send("hold down 3000");
    EXPECT_TRUE(e.board.WaitForText(c.kept ? "Keys: calibrated" : "Keys: default", kWaitMs));
    EXPECT_TRUE(e.board.WaitForText(c.kept ? "Key: Down    683" : "Key: Select  683", kWaitMs));
    if (*c.cut) EXPECT_GT(e.board.TimeOf("eeprom", c.cut, 0, nullptr, 1000), 0);
    EXPECT_EQ(e.board.Faults(), std::vector<std::string>{});
  }
}

}  // namespace

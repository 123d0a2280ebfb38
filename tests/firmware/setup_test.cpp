// The panel's setup: its record read at start (the defaults when it is missing, broken
// or from elsewhere), the setup screen reached with the encoder alone, its changes used
// at once and kept; and the display core blanking what a larger size left outside.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_board.h"
#include "logic/lcd_core.h"
#include "logic/panel.h"
#include "logic/panel_setup.h"
#include "logic/stored_record.h"

namespace {

constexpr uint8_t kSetupFormat = 0x53;

bool Linked = false;  // a plug-in on the line: a status frame every 50 ms

void Steps(int count) {
  for (int i = 0; i < count; i++) {
    if (Linked && Board.nowMs % 50 == 0) {
      const Bytes frame = FrameOf(StatusBytes({kPlaying, 0, 0, 1, 2, 0, "Song", "\\Music\\"}));
      Board.incoming.insert(Board.incoming.end(), frame.begin(), frame.end());
      Board.statusFramesIn++;
    }
    Board.nowMs += 5;
    PanelStep();
  }
}

// The push held through the readings of a short press, then let go.
void Push(int readings = 10) {
  Board.pushDown = true;
  Steps(readings);
  Board.pushDown = false;
  Steps(4);
}

void Turn(int8_t detents) {
  Board.turns = detents;
  Steps(1);
}

// Turned back with the push held: Left.
void PushAndTurnBack() {
  Board.pushDown = true;
  Steps(4);
  Turn(-1);
  Board.pushDown = false;
  Steps(4);
}

void Stored(std::vector<uint8_t> payload, uint8_t format = kSetupFormat) {
  std::vector<uint8_t> record = {format};
  record.insert(record.end(), payload.begin(), payload.end());
  const uint16_t crc = RecordCrc(record.data(), static_cast<uint8_t>(record.size()));
  record.push_back(static_cast<uint8_t>(crc >> 8));
  record.push_back(static_cast<uint8_t>(crc));
  std::copy(record.begin(), record.end(), Board.eeprom.begin() + kSetupRecordAt);
}

struct OnBus {
  explicit OnBus(bool bus = true) {
    ResetBoard();
    Board.onBus = bus;
  }
  ~OnBus() {
    SetDisplaySize(DisplaySize::k16x2);
    Linked = false;
  }
};

TEST(PanelSetup, TheRecordIsUsedOnlyWhenItIsWholeAndItsOwn) {
  struct Case {
    const char* what;
    bool onBus;
    std::vector<uint8_t> payload;  // empty: nothing stored
    int broken;                    // a payload byte changed after the CRC was made, or -1
    DisplaySize size;
    DetentSetting detents;
  } cases[] = {
      {"a fresh chip: the defaults", true, {}, -1, DisplaySize::k16x2, DetentSetting::kAuto},
      {"a 20x4 with a half-cycle encoder", true, {1, 2}, -1, DisplaySize::k20x4, DetentSetting::kTwo},
      {"a whole-cycle encoder named", true, {0, 1}, -1, DisplaySize::k16x2, DetentSetting::kFour},
      {"a changed byte: the CRC refuses it", true, {1, 2}, 1, DisplaySize::k16x2, DetentSetting::kAuto},
      {"a size no firmware writes", true, {7, 1}, -1, DisplaySize::k16x2, DetentSetting::kAuto},
      {"a kind no firmware writes", true, {1, 3}, -1, DisplaySize::k16x2, DetentSetting::kAuto},
      {"the shield is 16x2 whatever is kept", false, {1, 2}, -1, DisplaySize::k16x2, DetentSetting::kTwo},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OnBus board(c.onBus);
    if (!c.payload.empty()) Stored(c.payload);
    if (c.broken >= 0) Board.eeprom[kSetupRecordAt + 1 + c.broken] ^= 0x04;
    PanelStart();
    EXPECT_EQ(ShownDisplaySize(), c.size);
    EXPECT_EQ(Board.detents, c.detents);
  }
}

TEST(PanelSetup, ReachedWithTheEncoderAloneUsedAtOnceAndKept) {
  OnBus board;
  PanelStart();
  Push();  // held as the panel starts: the setup, with no plug-in on the line
  EXPECT_EQ(ShownRow(0), ">Display    16x2");
  EXPECT_EQ(ShownRow(1), " Knob       auto");
  Push();  // the display is a 20x4: the screens take it at once
  EXPECT_EQ(ShownDisplaySize(), DisplaySize::k20x4);
  EXPECT_EQ(ShownRow(0), ">Display        20x4");
  EXPECT_EQ(ShownRow(3), "Sel=change Left=done");
  Turn(1);
  Push();
  Push();  // auto, 4 steps, 2 steps
  EXPECT_EQ(ShownRow(1), ">Knob        2 steps");
  EXPECT_EQ(Board.detents, DetentSetting::kTwo);
  const int writes = Board.storeWrites;
  EXPECT_EQ(writes, 0) << "nothing kept before the setup is left";
  PushAndTurnBack();
  EXPECT_EQ(ShownRow(0), "No link             ");
  EXPECT_GT(Board.storeWrites, writes);

  // Started again: the record gives the same, and leaving unchanged writes nothing.
  Board.pushDown = false;
  SetDisplaySize(DisplaySize::k16x2);
  EncoderSet(DetentSetting::kAuto);
  PanelStart();
  EXPECT_EQ(ShownDisplaySize(), DisplaySize::k20x4);
  EXPECT_EQ(Board.detents, DetentSetting::kTwo);
  Push();
  const int again = Board.storeWrites;
  PushAndTurnBack();
  EXPECT_EQ(Board.storeWrites, again);
}

TEST(PanelSetup, ReachedFromTheOptionsAndBackThere) {
  OnBus board;
  PanelStart();
  Steps(4);  // no push at start: no setup
  Linked = true;
  Steps(20);
  Push(160);  // a long push: the menu
  Turn(3);
  Push();  // Options
  Turn(6);
  EXPECT_EQ(ShownRow(0), ">Setup         ↑");
  Push();
  EXPECT_EQ(ShownRow(0), ">Display    16x2");
  PushAndTurnBack();
  EXPECT_EQ(ShownRow(0), ">Shuffle: off   ");
}

std::vector<LcdOp> Written;

bool Record(const LcdOp& op) {
  Written.push_back(op);
  return true;
}

TEST(LcdCore, ASmallerSizeBlanksWhatTheLargerLeftOutside) {
  SetDisplaySize(DisplaySize::k20x4);
  LcdBegin();
  Screen screen;
  ClearScreen(&screen);
  screen.light = true;
  PutText(&screen, 3, 18, "ab");
  ASSERT_TRUE(LcdFeed(screen, Record));
  SetDisplaySize(DisplaySize::k16x2);
  ClearScreen(&screen);
  Written.clear();
  ASSERT_TRUE(LcdFeed(screen, Record));
  // row 3's 19th column's address (0x54 + 18), then two blanks
  ASSERT_EQ(Written.size(), 3u);
  EXPECT_EQ(Written[0].value, 0x80 | (0x54 + 18));
  EXPECT_EQ(Written[1].value, ' ');
  EXPECT_EQ(Written[2].value, ' ');
}

}  // namespace

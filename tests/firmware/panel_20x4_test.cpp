// The panel's screens on a 20x4: the status screen's title, time, position and folder
// without scrolling, four entries of a list, four items of a menu.
#include <gtest/gtest.h>

#include <string>

#include "fake_board.h"
#include "logic/panel.h"
#include "logic/panel_setup.h"

namespace {

std::string Shown4() {
  std::string rows;
  for (int r = 0; r < 4; r++) rows += ShownRow(r) + "|";
  return rows;
}

struct Run20x4 {
  StatusFields fields;
  Run20x4() {
    ResetBoard();
    Board.onBus = true;
    SetupUse(PanelSetup{DisplaySize::k20x4, DetentSetting::kAuto});
    SetupKeep();  // as the setup screen leaves it
    PanelStart();
  }
  ~Run20x4() { SetDisplaySize(DisplaySize::k16x2); }
  void Tick() {
    const Bytes frame = FrameOf(StatusBytes(fields));
    Board.incoming.insert(Board.incoming.end(), frame.begin(), frame.end());
    Board.statusFramesIn++;
    for (int t = 0; t < 10; t++) {
      Board.nowMs += 5;
      PanelStep();
    }
  }
  void Press(uint16_t reading, uint32_t holdMs) {
    Board.keyReading = reading;
    for (uint32_t t = 0; t < holdMs; t += 5) {
      Board.nowMs += 5;
      PanelStep();
    }
    Board.keyReading = 1023;
    for (int t = 0; t < 4; t++) {
      Board.nowMs += 5;
      PanelStep();
    }
  }
};

TEST(Panel20x4, TheStatusScreenShowsTitleTimePositionAndFolderWithoutScrolling) {
  Run20x4 run;
  EXPECT_EQ(ShownRow(0), "No link             ");
  run.fields = {kPlaying, 1, 3, 7, 120, 41, "A Title Of Thirty-Three Characters", "\\Music\\Jazz\\"};
  run.Tick();
  EXPECT_EQ(Shown4(),
            "▶  3:07      42/120⇄|"
            "A Title Of Thirty-Th|"
            "ree Characters      |"
            "/Music/Jazz/        |");  // the ROM shows a yen sign for the backslash
  run.Press(0, 100);  // Right: next song; its notice takes the last row, the title stays
  EXPECT_EQ(ShownRow(3), "Next song           ");
  EXPECT_EQ(ShownRow(1), "A Title Of Thirty-Th");
}

TEST(Panel20x4, TheMenuShowsFourItems) {
  Run20x4 run;
  run.fields = {kPlaying, 0, 0, 1, 2, 0, "Song", "\\Music\\"};
  run.Tick();
  run.Press(736, 800);  // a long Select: the menu
  EXPECT_EQ(Shown4(),
            ">Browse             |"
            " Playlist           |"
            " Search             |"
            " Options            |");
}

}  // namespace

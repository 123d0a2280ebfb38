// The whole panel over the fake board: what the display shows from the status frames, the
// link going and coming back, and the transport keys of the status screen on the wire.
#include "logic/panel.h"

#include <gtest/gtest.h>

#include <cstring>

#include "fake_board.h"
#include "logic/keys.h"
#include "logic/link.h"
#include "logic/notice.h"
#include "logic/requests.h"

namespace {

constexpr uint16_t kNoKey = 1023;

struct PanelRun {
  StatusFields fields;

  PanelRun() {
    ResetBoard();
    PanelStart();
  }
  // Time passes, the keys sampled as the board does.
  void Advance(uint32_t ms) {
    for (uint32_t t = 0; t < ms; t += kKeySampleMs) {
      Board.nowMs += kKeySampleMs;
      PanelStep();
    }
  }
  // One tick of the plug-in: its status frame, and the time until the next.
  void Tick(uint32_t periodMs = 50) {
    const Bytes frame = FrameOf(StatusBytes(fields));
    Board.incoming.insert(Board.incoming.end(), frame.begin(), frame.end());
    Board.statusFramesIn++;
    PanelStep();
    Advance(periodMs);
  }
  // A key held for holdMs, between two ticks.
  void Press(uint16_t reading, uint32_t holdMs) {
    Board.keyReading = reading;
    Advance(holdMs);
    Board.keyReading = kNoKey;
    Advance(20);
  }
  std::string Rows() const { return ShownRow(0) + "|" + ShownRow(1); }
};

TEST(Panel, ShowsNoLinkUntilStatusFramesComeAndAgainWhenTheyStop) {
  PanelRun run;
  EXPECT_EQ(run.Rows(), "No link         |Quillbox panel  ");
  run.fields = {kPlaying, 0, 1, 5, 3, 1, "Caf\xE9 del Mar", "\\Music\\"};
  run.Tick();
  EXPECT_EQ(run.Rows(), "▶  1:05     2/3 |Cafe del Mar    ");
  run.Advance(kNoLinkMs + 10);
  EXPECT_EQ(run.Rows(), "No link         |Quillbox panel  ");
  run.Tick();
  EXPECT_EQ(run.Rows(), "▶  1:05     2/3 |Cafe del Mar    ");
  run.fields = {};
  run.Tick();
  EXPECT_EQ(run.Rows(), "■  0:00         |Playlist empty  ");
}

TEST(Panel, EachTransportKeyGoesOutRightAfterTheNextStatusFrameAndSaysWhatItDid) {
  constexpr uint16_t kRight = 0, kUp = 143, kDown = 327, kLeft = 511, kSelect = 736;
  struct Case {
    uint16_t key;
    uint32_t holdMs;
    uint8_t playState, shuffle;
    Bytes command;
    const char* notice;
  } cases[] = {
      {kSelect, 100, kStopped, 0, {'P', 0}, "Play"},      {kSelect, 100, kPlaying, 0, {'P', 5}, "Pause"},
      {kSelect, 100, kPaused, 0, {'P', 5}, "Resume"},     {kLeft, 100, kPlaying, 0, {'P', 8}, "Previous song"},
      {kRight, 100, kPlaying, 0, {'P', 7}, "Next song"},  {kUp, 100, kPlaying, 0, {'S', 0}, "Volume up"},
      {kDown, 100, kPlaying, 0, {'S', 1}, "Volume down"}, {kLeft, 800, kPlaying, 0, {'P', 6}, "Stop"},
      {kRight, 800, kPlaying, 0, {'O', 1}, "Shuffle on"}, {kRight, 800, kPlaying, 1, {'O', 2}, "Shuffle off"},
      {kUp, 800, kPlaying, 0, {'O', 0}, "Time left"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.notice);
    PanelRun run;
    run.fields = {c.playState, c.shuffle, 0, 30, 2, 0, "Song", "\\Music\\"};
    run.Tick();
    run.Press(c.key, c.holdMs);
    EXPECT_EQ(ShownRow(1).substr(0, std::strlen(c.notice)), c.notice) << "said at once";
    ASSERT_TRUE(Board.sent.empty()) << "nothing before the next status frame";
    const uint32_t frames = Board.statusFramesIn;
    run.Tick();
    ASSERT_EQ(Board.sent.size(), 1u);
    const SentFrame& sent = Board.sent[0];
    EXPECT_EQ(sent.afterStatusFrames, frames + 1);
    EXPECT_EQ(Bytes({sent.bytes[4], sent.bytes[6]}), c.command);
    EXPECT_EQ(sent.bytes.size(), 12u);
    run.Advance(kNoticeMs);
    run.Tick();
    EXPECT_EQ(ShownRow(1), "Song            ") << "the title is back";
  }
}

TEST(Panel, KeysPressedFasterThanTicksGoOutOnePerTickAndAFullQueueSaysSo) {
  PanelRun run;
  run.fields = {kPlaying, 0, 0, 1, 9, 0, "Song", "\\Music\\"};
  run.Tick();
  for (int i = 0; i < 6; i++) run.Press(0, 30);  // Right: next song
  EXPECT_EQ(ShownRow(1), "Busy, try again ");
  for (int i = 0; i < 6; i++) run.Tick();
  ASSERT_EQ(Board.sent.size(), static_cast<size_t>(kRequestQueueSize));
  for (size_t i = 0; i < Board.sent.size(); i++) EXPECT_EQ(Board.sent[i].afterStatusFrames, i + 2);
}

TEST(Panel, KeysWithoutALinkSendNothing) {
  PanelRun run;
  run.Advance(20);  // no key at start-up
  run.Press(0, 100);
  run.Press(736, 800);
  EXPECT_TRUE(Board.sent.empty());
  EXPECT_EQ(run.Rows(), "No link         |Quillbox panel  ");
}

TEST(Panel, AKeyHeldAsThePanelStartsOpensTheKeyCheckWithoutALink) {
  PanelRun run;
  Board.keyReading = 407;  // Left on a revision that the old thresholds read as Down
  run.Advance(50);
  EXPECT_EQ(run.Rows(), "Key: Left    407|Keys: default   ");
  run.Advance(800);
  EXPECT_EQ(ShownRow(0), "Key: Left    407") << "the held key's long press does not leave";
  Board.keyReading = kNoKey;
  run.Advance(kNoticeMs);
  EXPECT_EQ(run.Rows(), "Key: none   1023|Sel=set Left=out");
  run.Press(407, 800);  // held Left: back where it came from
  EXPECT_EQ(run.Rows(), "No link         |Quillbox panel  ");
  EXPECT_TRUE(Board.sent.empty());
}

}  // namespace

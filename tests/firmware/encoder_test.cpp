// The encoder: its decode under contact bounce for both kinds of detent, the stride of
// a fast turn, and what turns and pushes do on the panel's screens.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "fake_board.h"
#include "logic/encoder.h"
#include "logic/list_transfer.h"
#include "logic/panel.h"

namespace {

// The pin states a turn of `detents` passes through, every change of a contact bouncing
// for up to bounceMs (a change every millisecond or so, at random) before it settles.
std::vector<uint8_t> Turn(int detents, DetentSteps kind, int bounceMs, std::mt19937* random) {
  const uint8_t forward[4] = {1, 0, 2, 3};  // from 11: A falls, B falls, A rises, B rises
  const int stepsPerDetent = kind == DetentSteps::kFour ? 4 : 2;
  std::vector<uint8_t> states;
  uint8_t pins = 3;
  int phase = 0;
  for (int step = 0; step < std::abs(detents) * stepsPerDetent; step++) {
    phase = detents > 0 ? (phase + 1) % 4 : (phase + 3) % 4;
    const uint8_t next = detents > 0 ? forward[(phase + 3) % 4] : forward[(phase + 3) % 4];
    const uint8_t changed = static_cast<uint8_t>(pins ^ next);
    for (int ms = 0; ms < bounceMs; ms++) {
      if ((*random)() % 2 != 0) states.push_back(static_cast<uint8_t>(pins ^ changed));
      states.push_back(pins);
    }
    pins = next;
    states.push_back(pins);
  }
  return states;
}

TEST(Encoder, EveryDetentCountsOnceThroughBounceForBothKinds) {
  struct Case {
    DetentSteps kind;
    int detents;
    int bounceMs;
  } cases[] = {
      {DetentSteps::kFour, 10, 0},  {DetentSteps::kFour, -10, 0}, {DetentSteps::kFour, 10, 5},
      {DetentSteps::kFour, -10, 5}, {DetentSteps::kTwo, 10, 0},   {DetentSteps::kTwo, -10, 5},
      {DetentSteps::kTwo, 10, 5},
  };
  std::mt19937 random(27);
  for (const Case& c : cases) {
    for (int trial = 0; trial < 50; trial++) {
      Quadrature q;
      QuadratureReset(&q, 3);
      int counted = 0;
      for (uint8_t pins : Turn(c.detents, c.kind, c.bounceMs, &random)) counted += QuadratureFeed(&q, pins, c.kind);
      ASSERT_EQ(counted, c.detents) << "kind " << int(c.kind) << " bounce " << c.bounceMs << " trial " << trial;
    }
  }
}

TEST(Encoder, AHalfTurnTakenBackOrAMissedStateCountsNothing) {
  struct Case {
    DetentSteps kind;
    std::vector<uint8_t> states;
    int counted;
  } cases[] = {
      {DetentSteps::kFour, {1, 0, 1, 3}, 0},     // halfway and back
      {DetentSteps::kFour, {1, 0, 2, 0, 1, 3}, 0},
      {DetentSteps::kFour, {0, 3}, 0},           // both pins at once: no direction
      {DetentSteps::kTwo, {1, 3}, 0},            // a bounce off the detent
      {DetentSteps::kTwo, {1, 0}, 1},            // half a cycle is a detent
      {DetentSteps::kFour, {1, 0}, 0},           // ... but not on a whole-cycle encoder
  };
  for (const Case& c : cases) {
    Quadrature q;
    QuadratureReset(&q, 3);
    int counted = 0;
    for (uint8_t pins : c.states) counted += QuadratureFeed(&q, pins, c.kind);
    EXPECT_EQ(counted, c.counted);
  }
}

TEST(Encoder, AHalfCycleEncoderIsToldByItsRestAtZero) {
  EXPECT_TRUE(RestsAtHalfCycle(0, kHalfCycleRestMs));
  EXPECT_FALSE(RestsAtHalfCycle(0, kHalfCycleRestMs - 1)) << "a slow turn passes 00";
  for (uint8_t pins = 1; pins < 4; pins++) EXPECT_FALSE(RestsAtHalfCycle(pins, 60000));
}

TEST(Encoder, AFastTurnCrossesFiveHundredEntriesInAFewTurns) {
  EXPECT_EQ(TurnStride(100), 1) << "10 detents a second: one entry each";
  EXPECT_EQ(TurnStride(1000), 1);
  uint32_t entries = 0, detents = 0;
  while (entries < 499) {
    entries += TurnStride(25);  // 40 detents a second: two turns a second
    detents++;
  }
  EXPECT_LE(detents, 3u * 20) << "at most three turns of 20 detents";
}

struct EncoderRun {
  StatusFields fields{kPlaying, 0, 0, 1, 500, 0, "Song", "\\Music\\"};
  EncoderRun() {
    ResetBoard();
    PanelStart();
    Tick();
  }
  void Step(int ms) {
    for (int t = 0; t < ms; t += 5) {
      Board.nowMs += 5;
      PanelStep();
    }
  }
  void Tick() {
    const Bytes frame = FrameOf(StatusBytes(fields));
    Board.incoming.insert(Board.incoming.end(), frame.begin(), frame.end());
    Board.statusFramesIn++;
    Step(50);
  }
  void Push(int ms) {
    Board.pushDown = true;
    Step(ms);
    Board.pushDown = false;
    Step(20);
  }
};

TEST(Encoder, TurnsAndPushesReachTheStatusScreensCommands) {
  struct Case {
    int turns;
    int pushMs;  // 0: no push; with turns: turned while pushed
    Bytes command;
  } cases[] = {
      {+1, 0, {'S', 0}},    // clockwise: louder
      {-1, 0, {'S', 1}},    // anticlockwise: softer
      {0, 100, {'P', 5}},   // a push: pause
      {+1, 100, {'P', 7}},  // turned while pushed: Right, the next song, and no pause after
      {-1, 100, {'P', 8}},  // Left, the previous song
  };
  for (const Case& c : cases) {
    EncoderRun run;
    if (c.turns != 0 && c.pushMs != 0) {
      Board.pushDown = true;
      run.Step(30);
      Board.turns = static_cast<int8_t>(c.turns);
      run.Step(c.pushMs);
      Board.pushDown = false;
      run.Step(20);
    } else if (c.turns != 0) {
      Board.turns = static_cast<int8_t>(c.turns);
      run.Step(5);
    } else {
      run.Push(c.pushMs);
    }
    for (int i = 0; i < 4; i++) run.Tick();
    ASSERT_EQ(Board.sent.size(), 1u) << c.turns << " " << c.pushMs;
    EXPECT_EQ(Bytes({Board.sent[0].bytes[4], Board.sent[0].bytes[6]}), c.command);
  }
}

TEST(Encoder, ALongPushOpensTheMenuAndTurnsChooseInIt) {
  EncoderRun run;
  run.Push(800);
  EXPECT_EQ(ShownRow(0), ">Browse         ");
  Board.turns = 3;
  run.Step(5);
  EXPECT_EQ(ShownRow(0), ">Options       ↑");
  Board.turns = -1;
  run.Step(5);
  EXPECT_EQ(ShownRow(0), ">Search        ↑");
}

}  // namespace

// The display's core and the backpack's bytes: the start-up, only what changed written,
// the 20x4's row addresses, a redraw written in slices as the bus takes it; and the
// panel's screens on a 20x4.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include <string>
#include <vector>

#include "fake_board.h"
#include "logic/backpack.h"
#include "logic/lcd_core.h"
#include "logic/panel.h"

namespace {

std::vector<LcdOp> Ops;
size_t Room = SIZE_MAX;  // operations the fake I/O class takes before refusing

bool Take(const LcdOp& op) {
  if (Ops.size() >= Room) return false;
  Ops.push_back(op);
  return true;
}

Screen Blank(bool light = true) {
  Screen s;
  ClearScreen(&s);
  s.light = light;
  return s;
}

// The core started and the blank screen written: what comes next is the change alone.
void Started() {
  Ops.clear();
  Room = SIZE_MAX;
  LcdBegin();
  ASSERT_TRUE(LcdFeed(Blank(), Take));
  Ops.clear();
}

std::string Describe(const std::vector<LcdOp>& ops) {
  std::string text;
  for (const LcdOp& op : ops) {
    char item[16];
    const char* kinds = "NCDWL";
    snprintf(item, sizeof item, "%c%02X ", kinds[static_cast<int>(op.kind)], op.value);
    text += item;
  }
  return text;
}

TEST(LcdCore, StartsAsTheDatasheetSaysThenWritesOnlyWhatChanged) {
  SetDisplaySize(DisplaySize::k16x2);
  LcdBegin();
  Ops.clear();
  Room = SIZE_MAX;
  ASSERT_TRUE(LcdFeed(Blank(), Take));
  // three times "8-bit" with the waits, "4-bit", two lines, on, increment, the glyphs, clear
  ASSERT_EQ(Describe(std::vector<LcdOp>(Ops.begin(), Ops.begin() + 12)),
            "N30 W06 N30 W01 N30 W01 N20 W01 C28 C0C C06 C40 ");
  EXPECT_EQ(Ops.size(), 12u + 64 + 2 + 1) << "the glyphs' 64 rows, clear and its wait, the light";
  EXPECT_EQ(Describe({Ops[76], Ops[77], Ops[78]}), "C01 W03 L01 ");
  Ops.clear();
  ASSERT_TRUE(LcdFeed(Blank(), Take));
  EXPECT_TRUE(Ops.empty()) << "nothing changed, nothing written";
}

TEST(LcdCore, WritesEachChangeAtItsRowsAddress) {
  struct Case {
    DisplaySize size;
    uint8_t row, column;
    const char* text;
    const char* ops;
  } cases[] = {
      // a run of characters needs one address
      {DisplaySize::k16x2, 0, 3, "ab", "C83 D61 D62 "},
      {DisplaySize::k16x2, 1, 0, "x", "CC0 D78 "},
      // a 20x4's rows 2 and 3 continue rows 0 and 1 in the controller's memory
      {DisplaySize::k20x4, 2, 0, "x", "C94 D78 "},
      {DisplaySize::k20x4, 3, 19, "y", "CE7 D79 "},
      {DisplaySize::k20x4, 0, 19, "z", "C93 D7A "},
      // a 16x2 never writes past its 16 columns nor below its 2 rows
      {DisplaySize::k16x2, 0, 16, "z", ""},
      {DisplaySize::k16x2, 2, 0, "z", ""},
  };
  for (const Case& c : cases) {
    SetDisplaySize(c.size);
    Started();
    Screen s = Blank();
    for (size_t i = 0; c.text[i] != '\0'; i++) {
      if (c.row < kMaxRows && c.column + i < kMaxColumns) s.cells[c.row][c.column + i] = c.text[i];
    }
    ASSERT_TRUE(LcdFeed(s, Take));
    EXPECT_EQ(Describe(Ops), c.ops) << int(c.row) << "," << int(c.column);
  }
  SetDisplaySize(DisplaySize::k16x2);
}

TEST(LcdCore, ARedrawTakenInSlicesWritesWhatItWouldInOneGo) {
  SetDisplaySize(DisplaySize::k20x4);
  Screen s = Blank();
  for (int r = 0; r < 4; r++) {
    for (int col = 0; col < 20; col++) s.cells[r][col] = static_cast<char>('A' + (r * 20 + col) % 26);
  }
  s.cells[1][5] = ' ';  // a gap: the run after it needs its address again
  Started();
  ASSERT_TRUE(LcdFeed(s, Take));
  const std::vector<LcdOp> whole = Ops;
  EXPECT_EQ(whole.size(), 79u + 5) << "79 characters, an address for each row and the gap";
  Started();
  std::vector<LcdOp> sliced;
  bool done = false;
  for (int turn = 0; turn < 100 && !done; turn++) {
    Ops.clear();
    Room = 3;  // the bus's queue
    done = LcdFeed(s, Take);
    sliced.insert(sliced.end(), Ops.begin(), Ops.end());
  }
  EXPECT_TRUE(done);
  EXPECT_EQ(Describe(sliced), Describe(whole));
  SetDisplaySize(DisplaySize::k16x2);
}

TEST(Backpack, EachOperationBecomesTheExpandersBytes) {
  constexpr uint8_t L = kBackpackLight, E = kBackpackE, RS = kBackpackRs;
  struct Case {
    LcdOp op;
    uint8_t last;
    std::vector<uint8_t> bytes;
  } cases[] = {
      // RS set a byte ahead of E when it changes; each nibble with E high, then low
      {{LcdOpKind::Data, 0x41}, L, {L | RS, 0x40 | L | RS | E, 0x40 | L | RS, 0x10 | L | RS | E, 0x10 | L | RS}},
      // RS already right: no byte ahead
      {{LcdOpKind::Data, 0x41}, L | RS, {0x40 | L | RS | E, 0x40 | L | RS, 0x10 | L | RS | E, 0x10 | L | RS}},
      {{LcdOpKind::Command, 0xC0}, L | RS, {L, 0xC0 | L | E, 0xC0 | L, L | E, L}},
      // the start-up's single nibble
      {{LcdOpKind::Nibble, 0x30}, L, {0x30 | L | E, 0x30 | L}},
      // the backlight alone, kept in every byte after it; RW never high
      {{LcdOpKind::Light, 0}, 0x50 | L | RS, {0x50 | RS}},
      {{LcdOpKind::Data, 0x20}, 0x50 | RS, {0x20 | RS | E, 0x20 | RS, RS | E, RS}},
      {{LcdOpKind::WaitMs, 6}, L, {}},
  };
  for (const Case& c : cases) {
    uint8_t out[kBackpackMostBytes];
    const uint8_t n = BackpackBytes(c.op, c.last, out);
    EXPECT_EQ(std::vector<uint8_t>(out, out + n), c.bytes) << int(c.op.kind) << " " << int(c.op.value);
    for (uint8_t i = 0; i < n; i++) EXPECT_EQ(out[i] & kBackpackRw, 0);
  }
}

TEST(Backpack, TheCommonAddressesAreAskedFirstAndEveryLegalOneOnce) {
  std::vector<int> seen;
  for (uint8_t i = 0; i < kBackpackAddresses; i++) seen.push_back(BackpackAddress(i));
  EXPECT_EQ(seen[0], 0x27);
  EXPECT_EQ(seen[1], 0x3F);
  std::sort(seen.begin(), seen.end());
  std::vector<int> legal;
  for (int a = 0x20; a <= 0x27; a++) legal.push_back(a);
  for (int a = 0x38; a <= 0x3F; a++) legal.push_back(a);
  EXPECT_EQ(seen, legal);
}

}  // namespace

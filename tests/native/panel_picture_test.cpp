// Pictures of the panel: the HD44780's memory as the board models it from the pins, the
// snapshot line it prints, the script's snapshot step, the 5x7 font read from BDF, the
// dots drawn and the PNG written.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "board_script.h"
#include "hd44780_memory.h"
#include "lcd_font.h"
#include "lcd_picture.h"
#include "panel_snapshot.h"
#include "png_file.h"

namespace {

// One latch of the controller's, or a whole byte (two latches) once in 4-bit mode.
struct Write {
  bool rs;
  int value;      // a byte; a nibble when `half`
  bool half = false;
};

constexpr Write Ins(int v) { return {false, v}; }
constexpr Write Nib(int v) { return {false, v, true}; }

std::vector<Write> Text(const char* text) {
  std::vector<Write> w;
  for (; *text != '\0'; text++) w.push_back({true, static_cast<uint8_t>(*text)});
  return w;
}

void Feed(Hd44780Memory& m, const std::vector<Write>& writes) {
  for (const Write& w : writes) {
    if (!w.half) m.Latch(w.rs, static_cast<uint8_t>(w.value >> 4));
    m.Latch(w.rs, static_cast<uint8_t>(w.value & 0x0F));
  }
}

// The datasheet's start-up in 4-bit mode, as the firmware sends it: three times
// "8-bit", then "4-bit" (one latch each), then 2 lines, display on, increment.
const std::vector<Write> kStartUp = {Nib(3), Nib(3), Nib(3), Nib(2), Ins(0x28), Ins(0x0C), Ins(0x06)};

std::vector<Write> Then(std::vector<Write> a, const std::vector<Write>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::string Row(const Hd44780Memory& m, int row) {
  std::string text;
  for (int column = 0; column < 16; column++) {
    const uint8_t c = m.Shown(row, column);
    text += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '#';
  }
  return text;
}

}  // namespace

TEST(DisplayMemory, WritesFromThePins) {
  const struct {
    std::vector<Write> writes;  // after the start-up
    const char* row0;
    const char* row1;
    int address;
    const char* fault;
  } cases[] = {
      // a byte is two latches, high nibble first, written where the address counter is
      {Text("AB"), "AB              ", "                ", 0x02, "nibble order"},
      // the second row starts at 0x40, not at 16 or 40
      {Then({Ins(0xC0)}, Text("x")), "                ", "x               ", 0x41, "second row address"},
      // the first line's end (0x27) steps to the second's start, not to 0x28
      {Then({Ins(0x80 | 0x27)}, Text("12")), "                ", "2               ", 0x41, "line end wrap"},
      // the second line's end (0x67) steps back to 0
      {Then({Ins(0x80 | 0x67)}, Text("34")), "4               ", "                ", 0x01, "memory end wrap"},
      // CGRAM data goes to CGRAM, never into the text (simavr's part writes it over row 1)
      {Then(Then({Ins(0x48)}, Text("\x1F\x11")), {Ins(0x80), {true, 0x01}}), "#               ",
       "                ", 0x01, "CGRAM kept apart"},
      // clear blanks the text, homes the address and sets increment again
      {Then(Then(Text("AB"), {Ins(0x04), Ins(0x01)}), Text("CD")), "CD              ", "                ", 0x02,
       "clear sets increment"},
      // with decrement the address goes down from where it was set
      {Then({Ins(0x04), Ins(0x85)}, Text("AB")), "    BA          ", "                ", 0x03, "entry decrement"},
      // a display shift left shows the text one place on; home takes it back
      {Then(Text("ABC"), {Ins(0x18)}), "BC              ", "                ", 0x03, "display shift"},
      {Then(Text("ABC"), {Ins(0x18), Ins(0x02)}), "ABC             ", "                ", 0x00, "home unshifts"},
      // a cursor shift moves the address only
      {Then({Ins(0x80), Ins(0x14)}, Text("X")), " X              ", "                ", 0x02, "cursor shift"},
      // a start-up sent while half a byte was latched still finds 4-bit mode again
      {Then(Then({Nib(0)}, kStartUp), Text("OK")), "OK              ", "                ", 0x02, "resync"},
      // entry mode with S moves the display with each write
      {Then({Ins(0x07), Ins(0x80)}, Text("AB")), "                ", "                ", 0x02, "shift on write"},
      // an address past a line's 40 characters holds nothing
      {Then({Ins(0x80 | 0x28)}, Text("Z")), "                ", "                ", 0x29, "stray address"},
  };
  for (const auto& c : cases) {
    Hd44780Memory m;
    Feed(m, Then(kStartUp, c.writes));
    EXPECT_EQ(Row(m, 0), c.row0) << c.fault;
    EXPECT_EQ(Row(m, 1), c.row1) << c.fault;
    EXPECT_EQ(m.Address(), c.address) << c.fault;
    EXPECT_TRUE(m.FourBit() && m.TwoLines() && m.DisplayOn()) << c.fault;
  }
}

TEST(DisplayMemory, CustomCharactersAndState) {
  Hd44780Memory m;
  EXPECT_FALSE(m.DisplayOn());  // power-on: display off, 8-bit, one line
  EXPECT_FALSE(m.FourBit());
  Feed(m, Then(Then(kStartUp, {Ins(0x48)}), Text("\x1F\x11\x0E")));
  EXPECT_EQ(m.CustomRow(1, 0), 0x1F);
  EXPECT_EQ(m.CustomRow(1, 1), 0x11);
  EXPECT_EQ(m.CustomRow(9, 2), 0x0E);  // 0x08-0x0F are the same eight characters
  EXPECT_TRUE(m.InCgram());
  EXPECT_EQ(m.Address(), 0x0B);
  Feed(m, {Ins(0x80 | 0x28), {true, 'Z'}});
  EXPECT_EQ(m.StrayWrites(), 1u);
  const uint32_t changes = m.Changes();
  Feed(m, {Ins(0x08)});
  EXPECT_FALSE(m.DisplayOn());
  EXPECT_EQ(m.Changes(), changes + 1);  // display off changes what shows
  Feed(m, {Ins(0x06)});
  EXPECT_EQ(m.Changes(), changes + 1);  // an entry mode does not
}

TEST(PanelSnapshot, LineReadsBack) {
  Hd44780Memory m;
  Feed(m, Then(Then(kStartUp, {Ins(0x40)}), Text("\x08\x0C\x0E")));
  Feed(m, Then({Ins(0x80), {true, 0x00}}, Text("  0:02")));
  const PanelSnapshot s = TakeSnapshot(m, true);
  const std::string line = SnapshotText("status", s);
  const std::string head =
      "status light on display on rows |▶  0:02" + std::string(9, ' ') + "|" + std::string(16, ' ') + "| cells ";
  EXPECT_EQ(line.substr(0, head.size()), head);
  std::string name;
  PanelSnapshot back;
  ASSERT_TRUE(ParseSnapshot(line, &name, &back));
  EXPECT_EQ(name, "status");
  EXPECT_EQ(back.cells, s.cells);
  EXPECT_EQ(back.cgram, s.cgram);
  EXPECT_EQ(back.cgram[1], 0x0C);
  EXPECT_TRUE(back.light && back.displayOn);
  const struct {
    std::string line;
    const char* fault;
  } wrong[] = {
      {"", "empty"},
      {"st@tus" + line.substr(6), "a name with a sign"},
      {line.substr(0, line.size() - 2), "CGRAM cut short"},
      {line.substr(0, line.find(" cgram ")), "no CGRAM"},
      {"status light dim" + line.substr(15), "light neither on nor off"},
      {line.substr(0, line.find(" cells ") + 7) + "G" + line.substr(line.find(" cells ") + 8), "not hex"},
  };
  for (const auto& w : wrong) EXPECT_FALSE(ParseSnapshot(w.line, &name, &back)) << w.fault;
}

TEST(PanelSnapshot, ScriptStep) {
  std::string error;
  const auto step = ParseStep("snapshot song-info\r", &error);
  ASSERT_TRUE(step.has_value()) << error;
  EXPECT_EQ(step->kind, StepKind::Snapshot);
  EXPECT_EQ(step->text, "song-info");
  for (const char* line : {"snapshot", "snapshot two words", "snapshot a/b"}) {
    EXPECT_FALSE(ParseStep(line, &error).has_value()) << line;
    EXPECT_FALSE(error.empty()) << line;
  }
}

namespace {

// A BDF font of the ROM's codes, every glyph a 1x1 dot at (code % 5, code % 7 - 1)
// from the baseline, but for 'A' (the 5x7 font's own rows) and the yen sign.
std::string TestFont() {
  std::ostringstream bdf;
  bdf << "STARTFONT 2.1\nFONTBOUNDINGBOX 5 7 0 -1\nSTARTPROPERTIES 2\nFONT_DESCENT 1\nFONT_ASCENT 6\n"
         "ENDPROPERTIES\nCHARS 96\n";
  for (int code = 0x20; code <= 0xA5; code = code == 0x7E ? 0xA5 : code + 1) {
    bdf << "STARTCHAR c" << code << "\nENCODING " << code << "\n";
    if (code == 'A') {
      bdf << "BBX 5 7 0 -1\nBITMAP\n60\n90\n90\nF0\n90\n90\n00\nENDCHAR\n";
    } else {
      bdf << "BBX 1 1 " << code % 5 << " " << code % 7 - 1 << "\nBITMAP\n80\nENDCHAR\n";
    }
  }
  return bdf.str() + "ENDFONT\n";
}

}  // namespace

TEST(PanelPicture, FontAsTheRomHasIt) {
  LcdFont font;
  std::string problem;
  ASSERT_TRUE(ParseLcdFont(TestFont(), &font, &problem)) << problem;
  const std::array<uint8_t, 8> a = {0x0C, 0x12, 0x12, 0x1E, 0x12, 0x12, 0x00, 0x00};
  EXPECT_EQ(font.rows['A'], a);  // the font's top row is the cell's row 0
  const struct {
    int code, row, bits;
    const char* fault;
  } dots[] = {
      {'B', 6 - ('B' % 7), 0x10 >> ('B' % 5), "a glyph placed from its BBX offsets"},
      {0x5C, 6 - (0xA5 % 7), 0x10 >> (0xA5 % 5), "0x5C is the ROM's yen sign, not a backslash"},
      {0x7E, 3, 0x1F, "0x7E is the ROM's right arrow, not a tilde"},
      {0x7F, 1, 0x04, "0x7F is the ROM's left arrow"},
  };
  for (const auto& d : dots) EXPECT_EQ(font.rows[d.code][d.row], d.bits) << d.fault;
  EXPECT_EQ(font.rows[0xA5], (std::array<uint8_t, 8>{})) << "the ROM's upper half is not Latin-1";
  const std::string noYen = TestFont().substr(0, TestFont().find("STARTCHAR c165"));
  EXPECT_FALSE(ParseLcdFont(noYen, &font, &problem));
  EXPECT_FALSE(ParseLcdFont("STARTFONT 2.1\nSTARTCHAR x\n", &font, &problem));
}

namespace {

const uint8_t* Pixel(const Picture& p, int x, int y) { return &p.rgb[3 * (static_cast<size_t>(y) * p.width + x)]; }

// The top-left pixel of a dot of a cell.
const uint8_t* Dot(const Picture& p, int row, int column, int dotRow, int dot) {
  const int cellW = 5 * (kDotPx + kDotGapPx) - kDotGapPx + kCellGapPx;
  const int cellH = 8 * (kDotPx + kDotGapPx) - kDotGapPx + kCellGapPx;
  return Pixel(p, kMarginPx + column * cellW + dot * (kDotPx + kDotGapPx),
               kMarginPx + row * cellH + dotRow * (kDotPx + kDotGapPx));
}

bool Bright(const uint8_t* px) { return px[0] > 200 && px[1] > 200; }

}  // namespace

TEST(PanelPicture, DotsAndColours) {
  LcdFont font;
  std::string problem;
  ASSERT_TRUE(ParseLcdFont(TestFont(), &font, &problem)) << problem;
  PanelSnapshot s;
  s.light = s.displayOn = true;
  s.cells.fill(' ');
  s.cells[0] = 'A';
  s.cells[16 + 15] = 0x09;  // custom character 1, by its second code
  s.cgram[8 + 7] = 0x01;    // its bottom row's rightmost dot
  const Picture p = DrawPanel(s, font);
  EXPECT_EQ(p.width, 2 * kMarginPx + 16 * 24 + 15 * kCellGapPx);
  EXPECT_EQ(p.height, 2 * kMarginPx + 2 * 39 + kCellGapPx);
  EXPECT_TRUE(Bright(Dot(p, 0, 0, 0, 1)));    // 'A': 0x0C, its second dot
  EXPECT_FALSE(Bright(Dot(p, 0, 0, 0, 0)));
  EXPECT_TRUE(Bright(Dot(p, 1, 15, 7, 4)));   // the custom character, from CGRAM
  EXPECT_FALSE(Bright(Dot(p, 1, 15, 7, 3)));
  const uint8_t* gap = Dot(p, 0, 0, 0, 1) + 3 * kDotPx;  // right of a lit dot: the glass
  EXPECT_FALSE(Bright(gap));
  EXPECT_GT(gap[2], 150);  // blue with the light on
  s.light = false;
  const Picture dark = DrawPanel(s, font);
  EXPECT_LT(Dot(dark, 0, 0, 0, 1)[2], 100);  // the light off: nothing bright, nothing blue
  EXPECT_LT(Pixel(dark, 0, 0)[2], 100);
  s.light = true;
  s.displayOn = false;
  const Picture off = DrawPanel(s, font);
  EXPECT_FALSE(Bright(Dot(off, 0, 0, 0, 1)));  // the display off shows no dots
}

TEST(PanelPicture, PngHoldsThePixels) {
  Picture p;
  p.width = 3;
  p.height = 2;
  p.rgb = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
  const std::string path = testing::TempDir() + "/panel_picture_test.png";
  std::string problem;
  ASSERT_TRUE(WritePng(path, p, &problem)) << problem;
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::remove(path.c_str());
  ASSERT_GT(file.size(), 8u + 25 + 12 + 12u);
  EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + 8),
            (std::vector<uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
  EXPECT_EQ(std::string(file.begin() + 12, file.begin() + 16), "IHDR");
  EXPECT_EQ(file[19], 3);  // width
  EXPECT_EQ(file[23], 2);  // height
  const size_t idat = 8 + 25;
  EXPECT_EQ(std::string(file.begin() + idat + 4, file.begin() + idat + 8), "IDAT");
  const uLong packed = static_cast<uLong>(file[idat + 2]) << 8 | file[idat + 3];
  std::vector<uint8_t> raw(2 * (1 + 9));
  uLongf rawSize = raw.size();
  ASSERT_EQ(uncompress(raw.data(), &rawSize, &file[idat + 8], packed), Z_OK);
  EXPECT_EQ(raw, (std::vector<uint8_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 10, 11, 12, 13, 14, 15, 16, 17, 18}));
  EXPECT_FALSE(WritePng("/nonexistent-folder/x.png", p, &problem));
}

TEST(PanelSnapshot, TwentyByFourRowsAndPicture) {
  Hd44780Memory m;
  // rows 2 and 3 of a 20x4 are the two lines' second twenty characters: 0x14 and 0x54
  Feed(m, Then(Then(kStartUp, {Ins(0x80 | 0x14)}), Text("third")));
  Feed(m, Then({Ins(0x80 | 0x54)}, Text("fourth")));
  const PanelSnapshot s = TakeSnapshot(m, true, kWideSize);
  const std::string line = SnapshotText("wide", s);
  const std::string blank(20, ' ');
  EXPECT_NE(line.find("rows |" + blank + "|" + blank + "|third" + std::string(15, ' ') + "|fourth"), std::string::npos);
  std::string name;
  PanelSnapshot back;
  ASSERT_TRUE(ParseSnapshot(line, &name, &back));
  EXPECT_EQ(back.size.columns, 20);  // the cells' count gives the size back
  EXPECT_EQ(back.size.rows, 4);
  EXPECT_EQ(back.cells, s.cells);
  LcdFont font;
  std::string problem;
  ASSERT_TRUE(ParseLcdFont(TestFont(), &font, &problem)) << problem;
  const Picture p = DrawPanel(back, font);
  EXPECT_EQ(p.width, 2 * kMarginPx + 20 * 24 + 19 * kCellGapPx);
  EXPECT_EQ(p.height, 2 * kMarginPx + 4 * 39 + 3 * kCellGapPx);
}

// The simulated board's portable parts: the frame hunt of its meter, the figures and
// their line (read back by the test harness), the script language, the glyph table
// and the display line, the settling of the display, the terminal's keys and the key
// ladders, and the models of the real parts: the display controller's time, the UART's
// receiver and the flash guard.
#include <gtest/gtest.h>

#include <vector>

#include "board_figures.h"
#include "board_lines.h"
#include "board_output.h"
#include "board_script.h"
#include "display_timing.h"
#include "display_watch.h"
#include "flash_guard.h"
#include "frame_hunt.h"
#include "key_hold.h"
#include "panel_keys.h"
#include "terminal_keys.h"
#include "uart_receiver.h"
#include "wire_meter.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Frame(const Bytes& payload) {
  Bytes f = {0x55, 0xAA, 0x00, static_cast<uint8_t>(payload.size())};
  f.insert(f.end(), payload.begin(), payload.end());
  f.push_back(0xBB);
  f.push_back(0xCC);
  return f;
}

Bytes Join(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes Status() {
  Bytes p(92, 0);
  p[0] = 'B';
  return p;
}

// Feeds the bytes one a millisecond from `startMs`; the frames found, in order.
std::vector<MeteredFrame> Hunt(FrameHunt& hunt, const Bytes& bytes, double startMs = 0) {
  std::vector<MeteredFrame> found;
  for (size_t i = 0; i < bytes.size(); i++) {
    for (const MeteredFrame& f : hunt.Feed(bytes[i], startMs + static_cast<double>(i))) found.push_back(f);
  }
  return found;
}

}  // namespace

TEST(BoardMeter, FrameHunt) {
  const Bytes markersInside = {'L', 0x55, 0xAA, 0x00, 0x02, 0xBB, 0xCC};
  const struct {
    Bytes line;
    std::vector<size_t> lengths;
    const char* fault;
  } cases[] = {
      // markers inside a payload must not cut the frame short
      {Frame(markersInside), {7}, "markers in payload"},
      // a frame whose end marker is wrong is no frame, but one that starts inside it is
      {Join({0x55, 0xAA, 0x00, 0x03, 'X'}, Frame({'Q', 1})), {2}, "resync inside a broken frame"},
      // a length over 250 cannot start a frame: the hunt must not wait 251 bytes for it
      {Join({0x55, 0xAA, 0x00, 0xFB}, Frame({'S'})), {1}, "length 251"},
      // noise and a lone 0x55 before a frame are skipped
      {Join({0x00, 0x55, 0x13, 0x55}, Join({0xAA, 0x00, 0x01, 'P', 0xBB, 0xCC}, Frame({}))), {1, 0}, "noise"},
      // a 250-byte payload is a whole frame
      {Frame(Bytes(250, 0x55)), {250}, "longest payload"},
  };
  for (const auto& c : cases) {
    FrameHunt hunt;
    std::vector<size_t> lengths;
    for (const MeteredFrame& f : Hunt(hunt, c.line)) lengths.push_back(f.length);
    EXPECT_EQ(lengths, c.lengths) << c.fault;
  }
  FrameHunt hunt;
  const auto frames = Hunt(hunt, Join({0x00, 0x00}, Frame({'P', 1, 7})), 100);
  ASSERT_EQ(frames.size(), 1u);
  // the times are the frame's own first and last byte, not the noise before it
  EXPECT_EQ(frames[0].firstMs, 102);
  EXPECT_EQ(frames[0].lastMs, 110);
  EXPECT_EQ(frames[0].first, 'P');
  EXPECT_EQ(frames[0].sub, 7);
}

TEST(BoardMeter, DelaysAndFigures) {
  WireMeter meter;
  const Bytes command = Frame({'P', 1});
  // a command before any status frame has no delay to measure
  for (uint8_t b : command) meter.FromBoard(b, 1);
  const Bytes status = Frame(Status());
  for (size_t i = 0; i < status.size(); i++) meter.FromPc(status[i], 10 + static_cast<double>(i) * 0.1);
  const double statusEnd = 10 + static_cast<double>(status.size() - 1) * 0.1;
  meter.KeyDown(statusEnd - 5);
  for (uint8_t b : command) meter.FromBoard(b, statusEnd + 20);  // late: past the 15 ms window
  meter.FromPc(0x55, statusEnd + 30);                             // half a frame is not a status frame
  BoardFigures f;
  meter.Figures(&f);
  EXPECT_EQ(f.statusFrames, 1);
  EXPECT_EQ(f.commands, 2);
  ASSERT_TRUE(f.delay.any);
  // the delay runs from the status frame's last byte to the command's first
  EXPECT_DOUBLE_EQ(f.delay.max, 20);
  EXPECT_EQ(f.delaysOver15, 1);
  // the key counts to the first byte of the command after it, not the one before
  EXPECT_DOUBLE_EQ(f.keyToCommand.median, 25);
}

TEST(BoardMeter, SpreadAndStatsLine) {
  const Spread none = SpreadOf({});
  EXPECT_FALSE(none.any);
  const Spread even = SpreadOf({4, 1, 3, 2});
  EXPECT_DOUBLE_EQ(even.median, 2.5);  // the middle pair's mean, after sorting
  std::vector<double> hundred;
  for (int i = 1; i <= 100; i++) hundred.push_back(i);
  EXPECT_DOUBLE_EQ(SpreadOf(hundred).p99, 99);  // nearest rank, not the maximum
  EXPECT_DOUBLE_EQ(SpreadOf({7}).p99, 7);       // one value is every percentile

  BoardFigures f;
  f.statusFrames = 1234;
  f.commands = 56;
  f.delay = SpreadOf({0.4, 1.2, 3.1});
  f.overruns = 0;
  f.asleepPercent = 91.25;
  f.stackBytes = 212;
  f.resets = 2;
  f.faults = {0, 3, 1, 0, 2, 2, 1};
  const std::string line = StatsLine(f);
  EXPECT_EQ(line,
            "stats status 1234 commands 56 delay-ms median 1.2 p99 3.1 max 3.1 over15 0 key-to-command-ms "
            "median n/a max n/a overruns 0 asleep 91.2% stack 212 resets 2 bus-busy n/a faults flash 0 overrun 3 "
            "display 1 backlight 0 bus 2 eeprom 2 line 1");
  // the harness reads back what the board writes, "n/a" as -1
  BoardStats s;
  ASSERT_TRUE(ParseStatsLine(line, &s));
  EXPECT_EQ(s.statusFrames, 1234);
  EXPECT_DOUBLE_EQ(s.delayMaxMs, 3.1);
  EXPECT_EQ(s.keyToCommandMedianMs, -1);
  EXPECT_EQ(s.overruns, 0);
  EXPECT_EQ(s.stackBytes, 212);
  EXPECT_EQ(s.overrunFaults, 3);  // each kind in its place
  EXPECT_EQ(s.displayFaults, 1);
  EXPECT_EQ(s.busFaults, 2);
  EXPECT_EQ(s.eepromFaults, 2);
  EXPECT_EQ(s.lineFaults, 1);
  EXPECT_EQ(s.Faults(), 9);
  EXPECT_EQ(s.busBusyPercent, -1);  // a bus never used
  f.busBusyPercent = 12.34;
  ASSERT_TRUE(ParseStatsLine(StatsLine(f), &s));
  EXPECT_DOUBLE_EQ(s.busBusyPercent, 12.3);
  f.overruns = -1;
  ASSERT_TRUE(ParseStatsLine(StatsLine(f), &s));
  EXPECT_EQ(s.overruns, -1);  // a firmware without RxOverruns
  EXPECT_FALSE(ParseStatsLine("stats status 1", &s));
}

TEST(BoardScript, Steps) {
  const struct {
    const char* line;
    bool good;
    StepKind kind;
    double ms;
    const char* text;
    const char* fault;
  } cases[] = {
      {"press up", true, StepKind::Press, 150, "", "a press lasts 150 ms"},
      {"hold select 1200", true, StepKind::Hold, 1200, "", "hold takes its milliseconds"},
      {"wait  Now playing: a|b  ", true, StepKind::Wait, 0, "Now playing: a|b  ", "wait keeps the rest of the line"},
      {"sleep 0.25", true, StepKind::Sleep, 250, "", "sleep takes fractions of seconds"},
      {"unplug", true, StepKind::Unplug, 0, "", "unplug"},
      {"reset-in-write 5", true, StepKind::ResetInWrite, 0, "", "which byte's write a reset cuts"},
      {"reset-in-write 0", false, StepKind::Quit, 0, "", "the bytes are counted from 1"},
      {"reset-in-write 2.5", false, StepKind::Quit, 0, "", "a whole byte"},
      {"quit", true, StepKind::Quit, 0, "", "quit"},
      {"press enter", false, StepKind::Quit, 0, "", "an unknown key name"},
      {"hold up", false, StepKind::Quit, 0, "", "hold without its time"},
      {"hold up 0", false, StepKind::Quit, 0, "", "a hold of no time"},
      {"sleep 1e9", false, StepKind::Quit, 0, "", "strtod's exponents are not seconds"},
      {"wait", false, StepKind::Quit, 0, "", "wait for nothing"},
      {"stats now", false, StepKind::Quit, 0, "", "words after a plain command"},
      {"dance", false, StepKind::Quit, 0, "", "unknown command"},
      {"push", true, StepKind::Push, 150, "", "a push lasts as long as a press"},
      {"push long", true, StepKind::Push, 1000, "", "a long push is held a second"},
      {"push 420", true, StepKind::Push, 420, "", "a push of its own length"},
      {"push briefly", false, StepKind::Quit, 0, "", "a push of no known length"},
      {"turn 3", true, StepKind::Turn, 0, "", "a turn without its sign is clockwise"},
      {"turn 0", false, StepKind::Quit, 0, "", "a turn of nothing"},
      {"turn +2.5", false, StepKind::Quit, 0, "", "half a detent"},
      {"turn -3 500", false, StepKind::Quit, 0, "", "faster than any hand"},
      {"turn +1 10 more", false, StepKind::Quit, 0, "", "words after the rate"},
  };
  for (const auto& c : cases) {
    std::string error;
    const auto step = ParseStep(c.line, &error);
    EXPECT_EQ(step.has_value(), c.good) << c.fault;
    EXPECT_EQ(error.empty(), c.good) << c.fault;
    if (!step) continue;
    EXPECT_EQ(step->kind, c.kind) << c.fault;
    EXPECT_DOUBLE_EQ(step->ms, c.ms) << c.fault;
    EXPECT_EQ(step->text, c.text) << c.fault;
  }
  std::string error;
  const struct {
    const char* line;
    int detents;
    double rate;
    bool pushed;
  } turns[] = {{"turn +12", 12, 10, false},
               {"turn -40 80", -40, 80, false},
               {"turn 3 2.5", 3, 2.5, false},
               {"turn -1 pushed", -1, 10, true},
               {"turn +2 30 pushed", 2, 30, true}};
  for (const auto& t : turns) {
    const auto step = ParseStep(t.line, &error);
    ASSERT_TRUE(step.has_value()) << t.line;
    EXPECT_EQ(step->detents, t.detents) << t.line;  // the sign is the way
    EXPECT_DOUBLE_EQ(step->rate, t.rate) << t.line;
    EXPECT_EQ(step->pushed, t.pushed) << t.line;
  }
  EXPECT_FALSE(ParseStep("turn +1 pushed 20", &error));  // the rate comes first
  EXPECT_FALSE(ParseStep("   # a comment", &error));
  EXPECT_TRUE(error.empty());  // a comment is nothing, not a mistake
}

TEST(BoardDisplay, GlyphsAndLine) {
  Screen s;
  const uint8_t row0[16] = {0x00, 0x09, 0x07, ' ', 'A', '|', 'z', '~', 0x7F, 0xA0, 0x10, '1', '2', '3', '4', '5'};
  std::copy(row0, row0 + 16, s.cells.begin());
  std::fill(s.cells.begin() + 16, s.cells.end(), ' ');
  s.light = true;
  const std::string line = DisplayLine(s, 12.34);
  // slots 0-7 and their copies 8-15 as the fixed glyphs; 0x7F and up as "?"
  EXPECT_EQ(line, "display 12.3 |▶‖… A|z~???12345|                | light on");
  // the harness finds the rows by their sixteen characters, even with a '|' among them
  BoardDisplay d;
  ASSERT_TRUE(ParseDisplayLine(line, &d));
  EXPECT_EQ(d.row0, "▶‖… A|z~???12345");
  EXPECT_EQ(d.row1, std::string(16, ' '));
  EXPECT_TRUE(d.light);

  // a 20x4 display: four rows of twenty, each found by its count
  Screen wide;
  wide.size = kWideSize;
  wide.cells.fill(' ');
  for (int row = 0; row < 4; row++) wide.cells[row * 20 + 19] = static_cast<uint8_t>('0' + row);
  wide.cells[20] = '|';
  const std::string wideLine = DisplayLine(wide, 1);
  EXPECT_EQ(wideLine, "display 1.0 |                   0||                  1|                   2|                   3| light off");
  ASSERT_TRUE(ParseDisplayLine(wideLine, &d));
  ASSERT_EQ(d.rows.size(), 4u);
  EXPECT_EQ(d.rows[1], "|                  1");
  EXPECT_EQ(d.rows[3], std::string(19, ' ') + "3");
  EXPECT_FALSE(d.light);
}

TEST(BoardDisplay, SettlesBeforeItShows) {
  DisplayWatch watch;
  Screen blank, text;
  text.cells[0] = 'H';
  // the first state is shown once it held for the settling time, dated when it began
  EXPECT_FALSE(watch.Observe(blank, 0));
  EXPECT_TRUE(watch.Observe(blank, kSettleMs));
  EXPECT_EQ(watch.ShownAt(), 0);
  // a redraw that clears and rewrites within the settling time is no change at all
  EXPECT_FALSE(watch.Observe(text, 20));
  EXPECT_FALSE(watch.Observe(blank, 25));
  EXPECT_FALSE(watch.Observe(blank, 50));
  EXPECT_FALSE(watch.Observe(text, 60));
  EXPECT_TRUE(watch.Observe(text, 75));
  EXPECT_EQ(watch.ShownAt(), 60);
  // the backlight alone is a change
  text.light = true;
  EXPECT_FALSE(watch.Observe(text, 80));
  EXPECT_TRUE(watch.Observe(text, 90));
}

TEST(BoardKeys, TerminalKeysAndHolding) {
  TerminalKeys keys;
  const std::string typed = "\x1b[A\r\x1bOCl\x1b[Dxq";
  const auto t = keys.Feed(reinterpret_cast<const uint8_t*>(typed.data()), typed.size());
  ASSERT_EQ(t.size(), 5u);
  EXPECT_EQ(t[0].key, PanelKey::Up);
  EXPECT_EQ(t[1].key, PanelKey::Select);
  EXPECT_EQ(t[2].key, PanelKey::Right);  // the application-mode arrow too
  EXPECT_EQ(t[3].key, PanelKey::Left);
  EXPECT_TRUE(t[3].longPress);  // l, then the key
  EXPECT_FALSE(t[2].longPress);
  EXPECT_TRUE(t[4].quit);

  // the encoder: a detent each way, a push, a long push; none of them a key
  const std::string turned = "., l x";
  const auto e = keys.Feed(reinterpret_cast<const uint8_t*>(turned.data()), turned.size());
  ASSERT_EQ(e.size(), 4u);
  EXPECT_EQ(e[0].turn, 1);
  EXPECT_EQ(e[1].turn, -1);
  EXPECT_TRUE(e[2].push && !e[2].longPress);
  EXPECT_TRUE(e[3].push && e[3].longPress);  // l, then space
  for (const TypedKey& k : e) EXPECT_EQ(k.key, PanelKey::None);

  KeyHold hold;
  EXPECT_EQ(hold.Typed(PanelKey::Up, false, 0).down, PanelKey::Up);
  // auto-repeat keeps the key down: no release between repeats 100 ms apart
  EXPECT_EQ(hold.Tick(100).up, PanelKey::None);
  EXPECT_EQ(hold.Typed(PanelKey::Up, false, 100).down, PanelKey::None);
  EXPECT_EQ(hold.Tick(249).up, PanelKey::None);
  EXPECT_EQ(hold.Tick(250).up, PanelKey::Up);
  // another key lets go of the first: the ladder reads one key at a time
  hold.Typed(PanelKey::Down, true, 300);
  const KeyChange change = hold.Typed(PanelKey::Left, false, 400);
  EXPECT_EQ(change.up, PanelKey::Down);
  EXPECT_EQ(change.down, PanelKey::Left);
  // a repeat does not cut a long press short
  hold.Typed(PanelKey::Select, true, 1000);
  hold.Typed(PanelKey::Select, false, 1010);
  EXPECT_EQ(hold.Tick(1500).up, PanelKey::None);
  EXPECT_EQ(hold.Tick(2000).up, PanelKey::Select);
}

TEST(BoardKeys, Ladders) {
  const struct {
    const char* text;
    bool good;
    const char* why;
  } cases[] = {
      {"19/113/253/387/605", true, "a published ladder whose Right is not 0"},
      {"0/512/683/768/819", true, "the other maker's ladder"},
      {"0/143/327/511", false, "four readings"},
      {"0/143/327/511/736/900", false, "six readings"},
      {"0/327/143/511/736", false, "readings out of order would give two keys one range"},
      {"0/143/327/511/1023", false, "1023 is no key"},
      {"0/143/327/511/736x", false, "words after the readings"},
  };
  for (const auto& c : cases) {
    KeyLadder ladder;
    EXPECT_EQ(LadderFromText(c.text, &ladder), c.good) << c.why;
    if (c.good) EXPECT_EQ(LadderText(ladder), c.text) << c.why;
  }
  EXPECT_EQ(KeyReading(kCommonLadder, PanelKey::Down), 327);
  EXPECT_EQ(KeyReading(kCommonLadder, PanelKey::None), 1023);
  // the voltage for a reading reads back as that reading, with the ADC's truncation
  for (uint16_t r = 0; r <= 1023; r++) {
    ASSERT_EQ(ReadingMillivolts(r) * 1023 / 5000, r) << r;
  }
}

TEST(BoardDisplay, ControllerTime) {
  // Writes as E falls: RS, the nibble, microseconds since power-on. Each case begins with
  // the initialisation by instruction done right, 4-bit mode, an instruction at 0 us.
  struct Write {
    bool rs;
    uint8_t nibble;
    double atUs;
  };
  const Write init[] = {{false, 3, 45000}, {false, 3, 51000}, {false, 3, 51200}, {false, 2, 51300},
                        {false, 2, 51400}, {false, 8, 51402}};
  const struct {
    std::vector<Write> writes;  // after init, from 51402 + 60 us on (times relative)
    int early;                  // writes that came too soon
    const char* why;
  } cases[] = {
      {{{true, 4, 60}, {true, 1, 62}, {true, 4, 116}, {true, 2, 118}}, 0, "characters 54 us apart"},
      {{{true, 4, 60}, {true, 1, 62}, {true, 4, 100}, {true, 2, 102}},
       1,
       "a character 38 us after one (270 kHz time): one fault, not one a nibble"},
      {{{false, 0, 60}, {false, 1, 62}, {true, 4, 1700}, {true, 1, 1702}}, 1, "a clear waited 1.6 ms, not 2.16"},
      {{{false, 0, 60}, {false, 1, 62}, {true, 4, 2230}, {true, 1, 2232}}, 0, "a clear waited 2.17 ms"},
      {{{false, 0, 60}, {false, 2, 62}, {false, 8, 1600}, {false, 0, 1602}}, 1, "home takes as long as clear"},
      {{{false, 8, 10}, {false, 0, 12}}, 1, "the first nibble of a write too soon after function set"},
  };
  for (const auto& c : cases) {
    DisplayTiming t;
    t.PowerOn(0);
    int early = 0;
    for (const Write& w : init) early += t.Latch(w.rs, w.nibble, w.atUs).early;
    ASSERT_EQ(early, 0) << "the initialisation itself";
    for (const Write& w : c.writes) early += t.Latch(w.rs, w.nibble, 51402 + w.atUs).early;
    EXPECT_EQ(early, c.early) << c.why;
  }
  // The initialisation's own waits, scaled from 270 kHz: each case its gaps in us.
  const struct {
    std::vector<double> gaps;  // power-on to the first 0x3, then between the 0x3, 0x3, 0x3, 0x2
    int early;
    const char* why;
  } starts[] = {
      {{45000, 6000, 150, 60}, 0, "45 ms, 6 ms, 150 us, 60 us"},
      {{30000, 6000, 150, 60}, 1, "the first instruction 30 ms after the supply rose"},
      {{45000, 4500, 150, 60}, 1, "4.5 ms after the first function set: 4.1 ms at 270 kHz is 5.8 ms at 190"},
      {{45000, 6000, 120, 60}, 1, "120 us after the second: 100 us is 142"},
  };
  for (const auto& s : starts) {
    DisplayTiming t;
    t.PowerOn(0);
    double at = 0;
    int early = 0;
    const uint8_t nibbles[] = {3, 3, 3, 2};
    for (size_t i = 0; i < s.gaps.size(); i++) {
      at += s.gaps[i];
      early += t.Latch(false, nibbles[i], at).early;
    }
    EXPECT_EQ(early, s.early) << s.why;
  }
}

TEST(BoardLine, Receiver) {
  // Events on the line and in the firmware: S a start bit, C its byte complete, R a read
  // of UDR0. The answer: how many start bits lost a byte, and what was left unread.
  const struct {
    const char* events;
    int lost;
    int unread;
    const char* why;
  } cases[] = {
      {"SCRSCRSCR", 0, 0, "each byte read before the next"},
      {"SCSCSC", 0, 3, "three unread: two in the buffer, one in the shift register"},
      {"SCSCSCS", 1, 2, "a fourth start bit loses the shift register's byte"},
      {"SCSCSCRS", 0, 2, "a read in time moves the waiting byte up"},
      {"SCSCSCSCSC", 2, 3, "a stream into a receiver nobody reads"},
      {"RRSC", 0, 1, "reads of an empty receiver take nothing"},
  };
  for (const auto& c : cases) {
    UartReceiver r;
    int lost = 0;
    for (const char* e = c.events; *e; e++) {
      if (*e == 'S') lost += r.StartBit();
      if (*e == 'C') r.Complete();
      if (*e == 'R') r.Read();
    }
    EXPECT_EQ(lost, c.lost) << c.why;
    EXPECT_EQ(r.Unread(), c.unread) << c.why;
  }
}

TEST(BoardFlash, EachChangedPageOnce) {
  std::vector<uint8_t> flash(4 * kFlashPageBytes + 16, 0x5A);
  FlashGuard guard;
  guard.Take(flash.data(), 4 * kFlashPageBytes);
  ASSERT_EQ(guard.Pages(), 4u);
  struct Case {
    uint32_t at;      // a byte written with 0xFF
    std::vector<uint32_t> pages;
  } cases[] = {
      {0, {0}},                                    // the first byte of the vector table
      {0, {}},                                     // the same change is reported once
      {2 * kFlashPageBytes - 1, {1}},              // a page's last byte, not the next page's
      {4 * kFlashPageBytes + 3, {}},               // past the application: the boot section
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.at);
    flash[c.at] = 0xFF;
    EXPECT_EQ(guard.Changed(flash.data()), c.pages);
  }
  flash[2 * kFlashPageBytes] = 0xFF;  // two pages at once, in order
  flash[3 * kFlashPageBytes + 5] = 0xFF;
  EXPECT_EQ(guard.Changed(flash.data()), (std::vector<uint32_t>{2, 3}));
}

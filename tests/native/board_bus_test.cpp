// The I2C panel's parts on the board, without simavr: the chip's two-wire interface as
// its datasheet gives it (the status codes, TWINT cleared by a written one, START and
// bytes timed from the bit rate, TWWC, a bus that is not free, a clock too fast), and the
// PCF8574 backpack feeding the one display controller (20x4 rows, reads that write
// nothing, a write while the controller is busy), and the encoder's contacts (quadrature
// with bounce, both kinds of detent, the switch).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "board_output.h"
#include "i2c_backpack.h"
#include "rotary_encoder.h"
#include "twi_master.h"

namespace {

// A device that acknowledges its address (and data, once selected) and records the bus.
struct FakeDevice : TwiDevice {
  uint8_t address = 0x27;
  bool selected = false;
  std::vector<std::string> calls;
  bool Address(uint8_t a, bool read, uint64_t) override {
    calls.push_back((read ? "read " : "write ") + std::to_string(a));
    selected = a == address;
    return selected;
  }
  bool Write(uint8_t byte, uint64_t) override {
    calls.push_back("byte " + std::to_string(byte));
    return selected && byte != 0xEE;  // 0xEE: a byte the device refuses
  }
  uint8_t Read(uint64_t) override { return 0x5A; }
  void Stop(uint64_t) override { calls.push_back("stop"); }
};

constexpr uint8_t kGo = kTwint | kTwen;

struct Bus {
  FakeDevice device;
  bool free = true;  // the lines
  TwiMaster twi{device};
  uint64_t now = 0;
  Bus() {
    twi.Reset();
    twi.WriteBitRate(72);  // 100 kHz: a period of 160 cycles
  }
  // Writes TWCR, then runs until TWINT (at most `limit` cycles): the cycles it took, or -1.
  long Act(uint8_t control, uint64_t limit = 100000) {
    twi.WriteControl(control, now, free);
    const uint64_t start = now;
    while (!(twi.Control() & kTwint) && now - start < limit) {
      const uint64_t next = twi.NextEvent();
      now = next != 0 && next <= start + limit ? next : start + limit;
      twi.Advance(now, free);
    }
    return twi.Control() & kTwint ? static_cast<long>(now - start) : -1;
  }
  long Send(uint8_t byte) {
    twi.WriteData(byte);
    return Act(kGo);
  }
};

}  // namespace

TEST(BoardBus, StatusCodesAndTimes) {
  const long kPeriod = 160;
  Bus b;
  EXPECT_EQ(b.twi.Status(), kTwiNoState);
  EXPECT_EQ(b.Act(kGo | kTwsta), kPeriod);  // START: one SCL period
  EXPECT_EQ(b.twi.Status(), kTwiStart);
  EXPECT_EQ(b.Send(0x27 << 1), 9 * kPeriod);  // a byte: nine periods, the acknowledge included
  EXPECT_EQ(b.twi.Status(), kTwiAddressWriteAck);  // simavr gives the data code 0x28 here
  EXPECT_EQ(b.Send(0x41), 9 * kPeriod);
  EXPECT_EQ(b.twi.Status(), kTwiDataWriteAck);
  EXPECT_EQ(b.Send(0xEE), 9 * kPeriod);
  EXPECT_EQ(b.twi.Status(), kTwiDataWriteNack);
  EXPECT_EQ(b.Act(kGo | kTwsta), kPeriod);
  EXPECT_EQ(b.twi.Status(), kTwiRepeatedStart);
  EXPECT_EQ(b.Send(0x27 << 1 | 1), 9 * kPeriod);
  EXPECT_EQ(b.twi.Status(), kTwiAddressReadAck);
  EXPECT_EQ(b.Act(kGo | kTwea), 9 * kPeriod);
  EXPECT_EQ(b.twi.Status(), kTwiDataReadAck);
  EXPECT_EQ(b.twi.Data(), 0x5A);
  EXPECT_EQ(b.Act(kGo), 9 * kPeriod);
  EXPECT_EQ(b.twi.Status(), kTwiDataReadNack);  // the last byte, not acknowledged by us
  // STOP: no TWINT; TWSTO clears itself after a period and the device sees the stop
  EXPECT_EQ(b.Act(kGo | kTwsto, 1000), -1);
  EXPECT_FALSE(b.twi.Control() & kTwsto);
  EXPECT_EQ(b.device.calls.back(), "stop");
  // a START asked while the STOP is still on the bus follows it (an interrupt-driven
  // write ends with a STOP, and the next may begin at once)
  EXPECT_EQ(b.Act(kGo | kTwsta), kPeriod);
  b.twi.WriteControl(kGo | kTwsto, b.now, b.free);
  EXPECT_EQ(b.Act(kGo | kTwsta), 2 * kPeriod);
  EXPECT_EQ(b.twi.Status(), kTwiStart);  // a START of its own, not a repeated one
  EXPECT_EQ(b.Act(kGo | kTwsto, 1000), -1);
  // nobody at the address: its write is not acknowledged
  EXPECT_EQ(b.Act(kGo | kTwsta), kPeriod);
  EXPECT_EQ(b.Send(0x3F << 1), 9 * kPeriod);
  EXPECT_EQ(b.twi.Status(), kTwiAddressWriteNack);
  EXPECT_EQ(b.twi.BusyCycles(), static_cast<uint64_t>(8 * kPeriod + 7 * 9 * kPeriod));
}

TEST(BoardBus, ControlRegisterAsTheDatasheetHasIt) {
  const struct {
    uint8_t twbr, twps;
    uint32_t period;
  } rates[] = {
      {72, 0, 160},   // 100 kHz, the shared setting
      {18, 1, 160},   // the same rate through the prescaler (4)
      {12, 0, 40},    // 400 kHz
      {255, 3, 32656},
  };
  for (const auto& r : rates) EXPECT_EQ(SclPeriodCycles(r.twbr, r.twps), r.period) << int(r.twbr);

  Bus b;
  // nothing starts until TWINT is written with a one
  b.twi.WriteControl(kTwen | kTwsta, 0, b.free);
  EXPECT_EQ(b.twi.NextEvent(), 0u);
  ASSERT_EQ(b.Act(kGo | kTwsta), 160);
  // writing a zero to TWINT leaves it set (simavr's never clears on a one)
  b.twi.WriteControl(kTwen, b.now, b.free);
  EXPECT_TRUE(b.twi.Control() & kTwint);
  b.twi.WriteData(0x27 << 1);
  b.twi.WriteControl(kGo, b.now, b.free);
  EXPECT_FALSE(b.twi.Control() & kTwint);  // a written one clears it
  // TWDR written while the byte goes: ignored, TWWC set; the next good write clears it
  b.twi.WriteData(0x99);
  EXPECT_TRUE(b.twi.Control() & kTwwc);
  EXPECT_EQ(b.twi.Data(), 0x27 << 1);
  b.now += 1440;
  EXPECT_TRUE(b.twi.Advance(b.now, b.free));
  b.twi.WriteData(0x42);
  EXPECT_FALSE(b.twi.Control() & kTwwc);
  // TWPS is all of TWSR that can be written
  b.twi.WriteStatus(0xFF);
  EXPECT_EQ(b.twi.Status(), kTwiAddressWriteAck | 0x03);
}

TEST(BoardBus, BusNotFreeAndClockTooFast) {
  Bus b;
  b.free = false;  // SDA held low, or no pull-up at all
  EXPECT_EQ(b.Act(kGo | kTwsta, 50000), -1);  // a polling firmware waits for ever
  EXPECT_TRUE(b.twi.WaitingForBus());
  b.twi.WriteControl(0, b.now, b.free);  // TWEN cleared: the way out
  EXPECT_FALSE(b.twi.WaitingForBus());
  b.free = true;
  EXPECT_EQ(b.Act(kGo | kTwsta), 160);
  uint32_t period = 0;
  EXPECT_FALSE(b.twi.TakeTooFast(&period));  // 100 kHz is within the expander's limit
  b.twi.WriteBitRate(12);
  b.twi.WriteData(0x27 << 1);
  EXPECT_EQ(b.Act(kGo), 9 * 40);
  ASSERT_TRUE(b.twi.TakeTooFast(&period));
  EXPECT_EQ(period, 40u);
  b.twi.WriteData(0);
  b.Act(kGo);
  EXPECT_FALSE(b.twi.TakeTooFast(&period));  // each rate once
}

namespace {

// Port bytes as a firmware sends them to the backpack: each nibble with E high, then low.
struct BackpackFeed {
  BoardOutput out{nullptr};
  BoardFaults faults{out};
  DisplayController display{&faults};
  I2cBackpack backpack{0x27, display, 16000.0};
  uint64_t cycle = 16000 * 50;  // past the controller's 40 ms of power-up
  uint8_t light = kBackpackLight;

  BackpackFeed() {
    display.PowerOn(0);
    backpack.Expander().Address(0x27, false, 0);
  }
  void Port(uint8_t byte, uint64_t gapCycles = 1440) {
    cycle += gapCycles;
    backpack.Expander().Write(byte, cycle);
  }
  void Nibble(bool rs, uint8_t nibble, uint64_t gap = 1440) {
    const uint8_t base = static_cast<uint8_t>(nibble << 4 | light | (rs ? kBackpackRs : 0));
    Port(static_cast<uint8_t>(base | kBackpackE), gap);
    Port(base, gap);
  }
  void Byte(bool rs, uint8_t value) {
    Nibble(rs, static_cast<uint8_t>(value >> 4));
    Nibble(rs, static_cast<uint8_t>(value & 0x0F));
    if (!rs && value <= 0x03) cycle += 16000 * 3;  // clear and home: 2.16 ms
  }
  void Text(const char* text) {
    for (; *text != '\0'; text++) Byte(true, static_cast<uint8_t>(*text));
  }
  void StartUp() {
    for (const uint8_t n : {3, 3, 3, 2}) {
      Nibble(false, n);
      cycle += 16000 * 6;
    }
    for (const uint8_t ins : {0x28, 0x0C, 0x06, 0x01}) Byte(false, ins);
  }
  std::string Row(int row) {
    std::string text;
    for (int column = 0; column < 20; column++) text += static_cast<char>(display.Memory().Shown(row, column, 20));
    return text;
  }
};

}  // namespace

TEST(BoardBackpack, FeedsTheDisplayController) {
  BackpackFeed f;
  f.StartUp();
  const struct {
    uint8_t address;
    const char* text;
    int row;
  } rows[] = {{0x00, "row zero", 0}, {0x40, "row one", 1}, {0x14, "row two", 2}, {0x54, "row three", 3}};
  for (const auto& r : rows) {
    f.Byte(false, static_cast<uint8_t>(0x80 | r.address));
    f.Text(r.text);
  }
  for (const auto& r : rows) EXPECT_EQ(f.Row(r.row).substr(0, std::string(r.text).size()), r.text) << r.row;
  EXPECT_EQ(f.faults.Total(), 0);
  EXPECT_TRUE(f.backpack.Light());
  f.light = 0;
  f.Byte(false, 0x80);
  EXPECT_FALSE(f.backpack.Light());  // P3 low: the backlight's transistor off

  // E falling with RW high is a read: nothing is written
  const uint32_t before = f.display.Memory().Executed();
  f.Port(kBackpackRw | kBackpackRs | kBackpackE | 0x40);
  f.Port(kBackpackRw | kBackpackRs | 0x40);
  EXPECT_EQ(f.display.Memory().Executed(), before);

  // unfitted, the expander answers nothing and the display sees nothing
  f.backpack.Expander().Fit(false);
  EXPECT_FALSE(f.backpack.Expander().Address(0x27, false, 0));
  EXPECT_FALSE(f.backpack.Expander().Write(0x44, 0));
}

TEST(BoardBackpack, AWriteWhileTheControllerIsBusyIsAFault) {
  BackpackFeed f;
  f.StartUp();
  ASSERT_EQ(f.faults.Total(), 0);
  // a clear, then a character 0.5 ms later: the clear runs 2.16 ms at 190 kHz
  f.Nibble(false, 0);
  f.Nibble(false, 1);
  f.Nibble(true, 4, 16000 / 2);
  f.Nibble(true, 1);
  EXPECT_EQ(f.faults.Count(FaultKind::Display), 1);  // once per write, not per nibble
  // a byte over I2C every 90 us is slower than the 53 us a character takes
  f.cycle += 16000 * 3;
  f.Text("abcdefghij");
  EXPECT_EQ(f.faults.Count(FaultKind::Display), 1);
}

TEST(BoardEncoder, QuadratureWithBounce) {
  // From (A,B) before and after as two bits each: +1 clockwise, -1 back, 0 else, as a
  // firmware's table decodes it.
  static const int kStep[16] = {0, -1, 1, 0, 1, 0, 0, -1, -1, 0, 0, 1, 0, 1, -1, 0};
  const struct {
    int steps, detents;
    double rate;
    const char* what;
  } cases[] = {
      {4, 7, 10, "a whole cycle a detent, the issue's 10 a second"},
      {4, -5, 10, "anticlockwise"},
      {2, 9, 10, "half a cycle a detent: rests at (1,1) and (0,0)"},
      {4, 60, 100, "fast: the bounce cut to fit between steps"},
      {2, -30, 60, "half cycles, fast, back"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    RotaryEncoder e(c.steps);
    e.Turn(c.detents, c.rate, 100);
    bool a = true, b = true;
    int count = 0, flips = 0, doneMarks = 0;
    double lastA = -100, lastB = -100;
    const double stepMs = 1000 / c.rate / c.steps;
    for (const PinChange& p : e.Take(1e9)) {
      if (p.pin == kDetentDone) {
        doneMarks++;
        EXPECT_EQ(p.level, c.detents > 0);
        continue;
      }
      const bool a1 = p.pin == kEncoderA ? p.level : a, b1 = p.pin == kEncoderB ? p.level : b;
      count += kStep[(a << 3) | (b << 2) | (a1 << 1) | b1];
      a = a1;
      b = b1;
      flips++;
      double& mine = p.pin == kEncoderA ? lastA : lastB;
      const double other = p.pin == kEncoderA ? lastB : lastA;
      // one contact is at rest (settled for a while) whenever the other moves
      EXPECT_GT(p.atMs - other, 0.5 * stepMs) << p.atMs;
      mine = p.atMs;
    }
    EXPECT_EQ(count, c.detents * c.steps);  // every step once, the chatter cancelled out
    EXPECT_GT(flips, std::abs(c.detents) * c.steps * 2);  // and there was chatter
    EXPECT_EQ(doneMarks, std::abs(c.detents));
    EXPECT_TRUE(c.steps == 2 ? a == b : a && b);  // at rest on a detent
    EXPECT_TRUE(e.Idle());
  }
}

TEST(BoardEncoder, SwitchBouncesAndTurnsQueue) {
  RotaryEncoder e(4);
  e.Push(150, 0);
  std::vector<PinChange> changes = e.Take(4.9);
  ASSERT_GE(changes.size(), 3u);  // closes, then chatters within the 5 ms
  EXPECT_FALSE(changes.front().level);
  EXPECT_TRUE(e.Take(149).empty());  // then holds still
  EXPECT_FALSE(e.Level(kEncoderSwitch));
  changes = e.Take(160);
  EXPECT_TRUE(changes.back().level);  // and opens, bouncing, after 150 ms
  EXPECT_TRUE(changes.back().atMs < 155);
  // a second turn follows the first rather than mixing with it
  e.Turn(2, 10, 200);
  e.Turn(-1, 10, 200);
  const std::vector<PinChange> all = e.Take(1e9);
  double firstBack = 0;
  for (const PinChange& p : all) {
    if (p.pin == kDetentDone && !p.level) firstBack = p.atMs;
  }
  EXPECT_GT(firstBack, 400);  // the back detent after the two forward (100 ms each)

  // a turn with the knob pushed: the switch closes before the first step and opens after
  // the last detent has settled
  RotaryEncoder thumb(4);
  thumb.TurnPushed(1, 10, 0);
  double closed = -1, firstStep = -1, lastDetent = -1, opened = -1;
  for (const PinChange& p : thumb.Take(1e9)) {
    if (p.pin == kEncoderSwitch && !p.level && closed < 0) closed = p.atMs;
    if (p.pin == kEncoderSwitch && p.level) opened = p.atMs;
    if ((p.pin == kEncoderA || p.pin == kEncoderB) && firstStep < 0) firstStep = p.atMs;
    if (p.pin == kDetentDone) lastDetent = p.atMs;
  }
  EXPECT_GE(firstStep - closed, 20);  // the switch's bounce over before the turn
  EXPECT_GT(opened, lastDetent);
}

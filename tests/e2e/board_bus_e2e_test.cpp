// The board's two-wire bus, I2C backpack and encoder as a firmware meets them on the
// simulated chip: a tiny probe firmware (tests/board/probe/bus_probe.c) polls the bus,
// shows the status codes and the cycles START and a byte took on a 20x4 display through
// the backpack, counts the TWI interrupts of a transfer driven by them, and counts the
// encoder's detents and pushes. No player, no Wine.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "board_process.h"

namespace {

constexpr int kWaitMs = 8000;

// A board with the probe, on a link of its own, with these options.
class ProbeBoard {
 public:
  explicit ProbeBoard(std::vector<std::string> options) {
    char dir[] = "/tmp/qb_probe_XXXXXX";
    dir_ = mkdtemp(dir) ? dir : "/tmp";
    options.insert(options.begin(), {"--bootloader", QB_BOOTLOADER_HEX});
    started_ = board.Start(QB_PROBE_ELF, Link(), options);
  }
  ~ProbeBoard() {
    board.Stop();
    rmdir(dir_.c_str());
  }
  bool Started() const { return started_; }
  std::string Link() const { return dir_ + "/com"; }
  bool Row(int row, const std::string& text) {
    return board.WaitForDisplay(
        [&](const BoardDisplay& d) {
          return static_cast<int>(d.rows.size()) > row && d.rows[row].find(text) != std::string::npos;
        },
        kWaitMs);
  }
  std::string Rows() {
    std::string all;
    for (const std::string& row : board.Display().rows) all += "|" + row;
    return all;
  }
  BoardProcess board;

 private:
  std::string dir_;
  bool started_ = false;
};

// "S<start> B<byte>" from row 2.
bool Cycles(const std::string& row, int* start, int* byte) {
  return std::sscanf(row.c_str(), "S%d B%d", start, byte) == 2;
}

}  // namespace

TEST(BoardBusOnChip, StatusCodesAndTimesAsTheChipGivesThem) {
  const struct {
    std::vector<std::string> options;
    const char* codes;
    const char* what;
  } cases[] = {
      // START, 0x27 acknowledged, 0x3F not (then its data byte not), a repeated START
      {{"--panel", "i2c-20x4"}, "08 27:18 3F:20 30 10", "the PCF8574 at 0x27"},
      {{"--panel", "i2c-20x4", "--i2c-address", "0x3F"}, "08 27:20 3F:18 28 10", "a PCF8574A at 0x3F"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ProbeBoard probe(c.options);
    ASSERT_TRUE(probe.Started());
    EXPECT_TRUE(probe.Row(0, c.codes)) << probe.Rows();
    ASSERT_TRUE(probe.Row(2, " B")) << probe.Rows();
    int start = 0, byte = 0;
    ASSERT_TRUE(Cycles(probe.board.Display().rows[2], &start, &byte)) << probe.Rows();
    // one SCL period of 160 cycles at 100 kHz, and nine for a byte, with the probe's few
    // cycles of polling (simavr's own took 0 and 144 whatever the bit rate)
    EXPECT_GE(start, 160);
    EXPECT_LE(start, 180);
    EXPECT_GE(byte, 1440);
    EXPECT_LE(byte, 1460);
    // TWINT raises the TWI interrupt: START, the address and four bytes, each once
    EXPECT_TRUE(probe.Row(3, "irq 6")) << probe.Rows();
    EXPECT_TRUE(probe.board.Faults().empty());
  }
}

TEST(BoardBusOnChip, TheLinesReadHighAfterAReset) {
  // The backpack's pull-ups hold SDA and SCL high, and the pins read so at power on and
  // after the reset of the port's opening (the bootloader, then its watchdog's reset):
  // simavr alone left them as its last notification of the port left them, and a
  // firmware that looks at its lines before it uses the bus took them for stuck.
  ProbeBoard probe({"--panel", "i2c-20x4"});
  ASSERT_TRUE(probe.Started());
  EXPECT_TRUE(probe.Row(2, "L11")) << probe.Rows();
  probe.board.Send("turn +2");  // the count, which a reset starts again from 0
  ASSERT_TRUE(probe.Row(1, "n+2")) << probe.Rows();
  const size_t before = probe.board.LineCount();
  const int port = open(probe.Link().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(port, 0);
  size_t watchdog = 0;
  ASSERT_GE(probe.board.TimeOf("reset", "watchdog", before, &watchdog, kWaitMs), 0);
  // the probe starts again: the count from 0, the lines read high
  size_t again = 0;
  ASSERT_GE(probe.board.TimeOf("display", "|n+0 sw0", watchdog, &again, kWaitMs), 0) << probe.Rows();
  const std::string line = probe.board.Lines()[again];
  EXPECT_NE(line.find("|S174 B1454 L11"), std::string::npos) << line;
  close(port);
}

TEST(BoardBusOnChip, APulledUpPinWithNothingOnItReadsHighAfterAReset) {
  // The shield panel, no encoder: D12 has nothing on it but the chip's pull-up, which the
  // probe sets and shows on the L LED. After the reset of the port's opening it must read
  // high again: simavr kept its last notification of the pin over the reset and read it
  // low (a switch held down for ever, to a firmware that looks for an encoder).
  ProbeBoard probe({"--panel", "shield"});
  ASSERT_TRUE(probe.Started());
  ASSERT_GE(probe.board.TimeOf("led", " on", 0, nullptr, kWaitMs), 0);
  const size_t before = probe.board.LineCount();
  const int port = open(probe.Link().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(port, 0);
  size_t watchdog = 0;
  ASSERT_GE(probe.board.TimeOf("reset", "watchdog", before, &watchdog, kWaitMs), 0);
  EXPECT_GE(probe.board.TimeOf("led", " on", watchdog, nullptr, kWaitMs), 0);
  close(port);
}

TEST(BoardBusOnChip, EncoderDetentsAndPushesWithBounce) {
  const struct {
    const char* steps;
    int perDetent;  // quadrature steps
  } kinds[] = {{"4", 4}, {"2", 2}};
  for (const auto& k : kinds) {
    SCOPED_TRACE(std::string("detent steps ") + k.steps);
    ProbeBoard probe({"--panel", "i2c-20x4", "--detent-steps", k.steps});
    ASSERT_TRUE(probe.Started());
    ASSERT_TRUE(probe.Row(2, " B")) << probe.Rows();
    // The probe counts whole cycles: a half-cycle detent is half of one.
    const int cycles8 = 8 * k.perDetent / 4, cycles4 = 4 * k.perDetent / 4;
    probe.board.Send("turn +8 10");
    EXPECT_TRUE(probe.Row(1, "n+" + std::to_string(cycles8) + " sw0")) << probe.Rows();
    probe.board.Send("turn -4 10");
    EXPECT_TRUE(probe.Row(1, "n+" + std::to_string(cycles8 - cycles4) + " sw0")) << probe.Rows();
    probe.board.Send("push");
    EXPECT_TRUE(probe.Row(1, "sw1")) << probe.Rows();
    probe.board.Send("push long");
    EXPECT_TRUE(probe.Row(1, "sw2")) << probe.Rows();
    EXPECT_TRUE(probe.board.Faults().empty());
  }
}

TEST(BoardBusOnChip, ABusThatNeverFreesDoesNotHangTheChip) {
  // No backpack (no pull-ups: the lines float) or SDA held low: START never ends, the
  // probe's bounded wait gives up, and it goes on counting with nothing to show.
  for (const char* fault : {"no-backpack", "sda-low"}) {
    SCOPED_TRACE(fault);
    ProbeBoard probe({"--panel", "i2c-20x4", "--bus-fault", fault});
    ASSERT_TRUE(probe.Started());
    probe.board.Send("sleep 0.5");
    BoardStats stats;
    ASSERT_TRUE(probe.board.Stats(&stats, kWaitMs));
    for (const std::string& row : probe.board.Display().rows) {
      EXPECT_EQ(row, std::string(20, ' '));  // nothing ever reached the display
    }
    EXPECT_EQ(stats.busBusyPercent, -1);  // not a bit went over the bus
    EXPECT_EQ(probe.board.Stop(), 0);     // no halt, no fault
  }
}

// The simulated board's bootloader, optiboot 4.4 as on an Uno, with the test on the line
// in place of the plug-in: opening the port resets the chip, the bootloader waits for a
// programmer and, on silence, starts the firmware; bytes of the panel protocol that it
// takes for programmer's commands change the application's flash, and the board says so
// as it happens.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "board_process.h"

namespace {

constexpr int kWaitMs = 5000;
// After a reset: 65 ms of start-up, then the bootloader's 375 ms of LED flashes; it
// takes commands from then until its 1 s watchdog runs out.
constexpr int kListensAfterMs = 600;

// A status payload ("B", 3 zeros, playing, shuffle off, 0:00, one song, the first) with
// this title, and the end marker.
std::vector<uint8_t> StatusPayload(const std::string& title) {
  std::vector<uint8_t> p(92, 0);
  p[0] = 'B';
  p[9] = 1;
  for (size_t i = 0; i < title.size() && 12 + i < 51; i++) p[12 + i] = static_cast<uint8_t>(title[i]);
  p.push_back(0xBB);
  p.push_back(0xCC);
  return p;
}

// The board behind a link of the test's own, and the port opened on it as a program
// opens it (raw, 115200): the opening resets the chip.
class BootLine {
 public:
  BootLine() {
    char dir[] = "/tmp/qb_boot_XXXXXX";
    dir_ = mkdtemp(dir) ? dir : "/tmp";
    link_ = dir_ + "/com";
  }
  ~BootLine() {
    if (fd_ >= 0) close(fd_);
    board.Stop();
    std::remove(link_.c_str());
    rmdir(dir_.c_str());
  }
  bool Start() { return board.Start(QB_PANEL_ELF, link_); }
  // Opens the port; true once the board has said it reset the chip.
  bool Open() {
    const size_t from = board.LineCount();
    fd_ = open(link_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) return false;
    termios t{};
    tcgetattr(fd_, &t);
    cfmakeraw(&t);
    cfsetspeed(&t, B115200);
    tcsetattr(fd_, TCSANOW, &t);
    return board.WaitForLine("reset ", from, kWaitMs);
  }
  // Where the link leads now; "" while it is being replaced.
  std::string Target() const {
    char target[256];
    const ssize_t n = readlink(link_.c_str(), target, sizeof target - 1);
    return n > 0 ? std::string(target, static_cast<size_t>(n)) : "";
  }
  void Send(const std::vector<uint8_t>& bytes) {
    if (write(fd_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) ADD_FAILURE() << "short write";
  }
  BoardProcess board;

 private:
  std::string dir_, link_;
  int fd_ = -1;
};

}  // namespace

TEST(BoardBoot, WhatTheBootloaderTakesForCommands) {
  // Optiboot 4.4 reads STK500 commands: 'U' (0x55) loads a word address from the next two
  // bytes, 'B' (0x42) skips 20 bytes of device settings, and each must end with a space
  // (0x20), or the bootloader lets its watchdog reset the chip; 'd' (0x64) programs a
  // page and erases it as soon as it has the command's next three bytes.
  std::vector<uint8_t> thirtyTwo = {0x55, 0xAA, 0x07, 0x20};  // a frame of 32 payload bytes
  thirtyTwo.push_back('B');
  thirtyTwo.insert(thirtyTwo.end(), 20, 0);
  thirtyTwo.push_back(' ');
  thirtyTwo.push_back('d');
  thirtyTwo.insert(thirtyTwo.end(), 9, 'x');
  thirtyTwo.push_back(0xBB);
  thirtyTwo.push_back(0xCC);
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    std::vector<std::string> faults;
  } cases[] = {
      // On silence the firmware starts, from the bootloader, its flash whole.
      {"silence", {}, {}},
      // A status frame as the bootloader meets it when its header went by in the chip's
      // start-up time: its "B" skips 20 bytes and the title's tenth character, a space;
      // the title's "d" then erases page 0, the firmware's vector table.
      {"a status frame met from its payload", StatusPayload("Moonlight dance"), {"flash page 0 (0x0000) changed"}},
      // 'U' takes 0xAA and the sequence number 7 for word 0x07AA (byte 0x0F54): the chip
      // erases the whole page 30 that holds it, and nothing of page 31.
      {"a frame of 32 bytes met from its start", thirtyTwo, {"flash page 30 (0x0F00) changed"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BootLine line;
    ASSERT_TRUE(line.Start());
    ASSERT_TRUE(line.Open());
    const size_t opened = line.board.LineCount();
    usleep(kListensAfterMs * 1000);
    if (!c.bytes.empty()) line.Send(c.bytes);
    // The bootloader ends by its watchdog: on silence after its 1 s, at once after a
    // command without its space.
    size_t at = 0;
    ASSERT_GT(line.board.TimeOf("reset", "watchdog", opened, &at, kWaitMs), 0);
    EXPECT_EQ(line.board.Faults(opened), c.faults);
    if (c.faults.empty()) {
      EXPECT_GT(line.board.TimeOf("display", "light on", at, nullptr, kWaitMs), 0) << "the firmware runs";
    }
  }
}

// Unplugged, the board keeps pace with the wall clock as it does plugged in: a pause in
// its script lasts as long for the program on the other end, which can open the port
// again only once the board has plugged it back.
TEST(BoardBoot, UnpluggedTheBoardKeepsTheWallClock) {
  using Clock = std::chrono::steady_clock;
  constexpr int kUnpluggedMs = 1000;
  BootLine line;
  ASSERT_TRUE(line.Start());
  ASSERT_TRUE(line.Open());
  // Bounded: whether the link came to lead to a pty (or, with false, nowhere).
  auto leadsToPty = [&](bool pty) {
    for (int waited = 0; waited < kWaitMs; waited += 2) {
      const std::string target = line.Target();
      if (!target.empty() && (target.rfind("/dev/", 0) == 0) == pty) return true;
      usleep(2000);
    }
    return false;
  };
  line.board.Send("unplug");
  line.board.Send("sleep " + std::to_string(kUnpluggedMs / 1000.0));
  line.board.Send("plug");
  ASSERT_TRUE(leadsToPty(false));
  const Clock::time_point unplugged = Clock::now();
  ASSERT_TRUE(leadsToPty(true));
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - unplugged).count();
  EXPECT_GE(ms, kUnpluggedMs - 20) << "plugged back after " << ms << " ms of wall time";
}

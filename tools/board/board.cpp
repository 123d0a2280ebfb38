#include "board.h"

#include <cmath>
#include <cstdio>

#include "simavr.h"
#include "simavr_mends.h"
#include "wall_clock.h"

namespace {

constexpr uint64_t kStepCycles = kClockHz / 4000;  // a quarter of a millisecond
constexpr double kSleepAboveMs = 1;                 // ahead by less: run on
constexpr size_t kMostWaiting = 4096;               // bytes the board holds for the UART
constexpr uint16_t kDdrB = 0x24;                    // data address
constexpr uint8_t kLedBit = 1 << 5;                 // PB5, D13
// A firmware that holds TX at the idle level first thing does so within its C start-up
// (clearing and copying its RAM: well under a millisecond).
constexpr double kTxFloatMs = 2;

std::string BootloaderBeside(const std::string& firmware) {
  const size_t slash = firmware.rfind('/');
  return (slash == std::string::npos ? "" : firmware.substr(0, slash + 1)) + "optiboot_atmega328.hex";
}

std::string PageText(uint32_t page) {
  char text[64];
  std::snprintf(text, sizeof text, "page %u (0x%04X) changed", page, page * kFlashPageBytes);
  return text;
}

}  // namespace

Board::Board(const BoardOptions& options, BoardOutput& out)
    : options_(options),
      out_(out),
      backpack_(options.i2cAddress, controller_, kCyclesPerMs),
      twi_(backpack_.Expander(), &faults_),
      encoder_(options.detentSteps,
               [this](bool clockwise, double atMs) { out_.Print("detent " + Ms(atMs) + (clockwise ? " +1" : " -1")); }),
      port_(options.link) {}

bool Board::Start(std::string* problem) {
  const std::string boot = options_.bootloader.empty() ? BootloaderBeside(options_.firmware) : options_.bootloader;
  if (!chip_.Load(options_.firmware, boot, problem)) return false;
  AttachPanel();
  if (!twi_.Attach(chip_.Avr(), PanelOnBus(options_.panel), options_.busFault)) {
    *problem = "the chip has no TWI";
    return false;
  }
  avr_irq_register_notify(avr_io_getirq(chip_.Avr(), AVR_IOCTL_IOPORT_GETIRQ('B'), 5), OnLed, this);
  if (HasEncoder() && !encoder_.Attach(chip_.Avr())) {
    *problem = "the chip has no port for the encoder";
    return false;
  }
  if (!uart_.Attach(
          chip_.Avr(), [this](uint8_t b, double at) { ByteToPc(b, at); },
          [this](uint8_t b, double at) { ByteIntoChip(b, at); }, [this](uint8_t b, double at) { ByteLost(b, at); })) {
    *problem = "the chip has no UART0";
    return false;
  }
  if (options_.blank) chip_.EraseApplication();
  if (!eeprom_.Attach(chip_.Avr(), &faults_)) {
    *problem = "the chip has no EEPROM";
    return false;
  }
  if (!port_.Plug(problem)) return false;
  wallStartMs_ = WallMs();
  resets_ = 1;
  out_.Print("reset " + Ms(NowMs()) + " power on");
  return true;
}

// The display is powered with the board. On the shield it hangs on the chip's pins and
// the keys on ADC0; on an I2C panel it hangs on the backpack, which is fitted unless a
// fault says otherwise, and A0 is left with nothing on it but its own high reading.
void Board::AttachPanel() {
  controller_.PowerOn(0);
  backpack_.Expander().Fit(PanelOnBus(options_.panel) && options_.busFault != BusFault::NoBackpack);
  if (!PanelOnBus(options_.panel)) {
    shield_.Attach(chip_.Avr(), options_.keys, &faults_, &controller_);
  } else {
    avr_raise_irq(avr_io_getirq(chip_.Avr(), AVR_IOCTL_ADC_GETIRQ, ADC_IRQ_ADC0), 5000);
  }
}

// The L LED (D13, PB5): the bootloader flashes it; a firmware may blink it while its
// display cannot be reached.
void Board::OnLed(avr_irq_t*, uint32_t value, void* param) {
  Board& b = *static_cast<Board*>(param);
  const bool lit = value != 0 && (b.chip_.Avr()->data[kDdrB] & kLedBit) != 0;  // an output driven high
  if (lit == b.led_) return;
  b.led_ = lit;
  b.out_.Print("led " + Ms(b.NowMs()) + (b.led_ ? " on" : " off"));
}

void Board::Step(int inputFd) {
  chip_.RunUntil(chip_.Cycle() + kStepCycles);
  if (eeprom_.CutDue()) Reset("eeprom write cut");
  uart_.KeepTiming();
  WatchChip();
  WatchTx();
  ServeLine();
  WatchDisplay();
  KeepPace(inputFd);
}

void Board::WatchChip() {
  for (int n = chip_.TakeWatchdogResets(); n > 0; n--) AfterReset("watchdog");
  // A board that started blank is being programmed: its pages change, each once.
  for (const FlashChange& c : chip_.TakeFlashChanges()) {
    if (options_.blank) {
      out_.Print("flash " + Ms(c.atMs) + " " + PageText(c.page));
    } else {
      faults_.Note(FaultKind::Flash, c.atMs, PageText(c.page));
    }
  }
  if (*chip_.Halted() && !halted_) out_.Print("halt " + Ms(NowMs()) + " " + chip_.Halted());
  halted_ = *chip_.Halted() != 0;
}

// TX floats from every reset until the bootloader or the firmware drives it; in that
// time the Uno's USB chip can take what the line picks up for a start bit and send the
// PC a byte that nobody sent. The chip's own start-up time is beyond the firmware; the
// time after it is not. A board started blank has no firmware to answer for it.
void Board::WatchTx() {
  if (options_.blank || chip_.Held() || halted_ || !uart_.TxFloating()) {
    txFloatingSince_ = -1;
    txFloatNoted_ = false;
    return;
  }
  if (txFloatingSince_ < 0) txFloatingSince_ = NowMs();
  if (txFloatNoted_ || NowMs() - txFloatingSince_ < kTxFloatMs) return;
  txFloatNoted_ = true;
  faults_.Note(FaultKind::Line, txFloatingSince_, "TX floating since the chip started");
}

// An Uno resets when a program opens its port (DTR): so does the board.
void Board::Reset(const char* why) {
  chip_.Reset();
  AfterReset(why);
}

void Board::BrownOut() {
  out_.Print("eeprom " + Ms(NowMs()) + " brown-out: " + eeprom_.StrayWrite());
  chip_.BrownOutReset();
  AfterReset("brown-out");
}

// simavr's reset drops its pending timers, the line's among them, and keeps its pins'
// last notifications. A byte the EEPROM was writing is cut.
void Board::AfterReset(const char* why) {
  MendPortsAfterReset(chip_.Avr());
  const std::string cut = eeprom_.OnReset();
  if (!cut.empty()) out_.Print("eeprom " + Ms(NowMs()) + " " + cut);
  uart_.Restart();
  meter_.Restart();
  twi_.Restart();
  if (HasEncoder()) encoder_.Restart();
  if (!PanelOnBus(options_.panel)) shield_.SetKey(key_);
  resets_++;
  out_.Print("reset " + Ms(NowMs()) + " " + why);
}

void Board::ServeLine() {
  for (const PtyPort::Change change : port_.Watch()) {
    if (change == PtyPort::Change::Opened) {
      out_.Print("line " + Ms(NowMs()) + " opened");
      Reset("port opened");
    } else {
      out_.Print("line " + Ms(NowMs()) + " closed");
    }
  }
  if (!toPc_.empty()) {
    port_.Write(toPc_.data(), toPc_.size());
    toPc_.clear();
  }
  uint8_t bytes[512];
  if (uart_.Waiting() < kMostWaiting) {
    const size_t n = port_.Read(bytes, sizeof bytes);
    // A chip held in reset has its receiver off: the bytes are lost, as on the wire.
    if (n > 0 && !chip_.Held()) uart_.FromPc(bytes, n);
  }
}

void Board::WatchDisplay() {
  if (display_.Observe(ReadScreen(), NowMs())) out_.Print(DisplayLine(display_.Shown(), display_.ShownAt()));
}

// A firmware millisecond is a real one: the chip runs ahead by at most about a
// millisecond and then waits for the wall clock, or for input (bytes, commands, a
// program opening the port), which the next step takes in at once.
void Board::KeepPace(int inputFd) {
  const double lead = NowMs() - (WallMs() - wallStartMs_);
  if (lead > kSleepAboveMs) {
    SleepOrInput(lead, inputFd, port_.ReadableFd(), port_.EventFd());
  }
  if (lead < -kBehindWarnMs && !behind_) {
    out_.Print("behind " + Ms(NowMs()) + " " + Ms(-lead) + " ms behind the wall clock");
  }
  if (lead < -kBehindWarnMs) behind_ = true;
  if (lead > -kBehindWarnMs / 5) behind_ = false;
}

void Board::ByteToPc(uint8_t byte, double atMs) {
  if (port_.Opened()) toPc_.push_back(byte);
  for (const MeteredFrame& f : meter_.FromBoard(byte, atMs)) {
    if (options_.trace) out_.Print(TraceLine("tx", f, f.firstMs));
  }
}

void Board::ByteIntoChip(uint8_t byte, double atMs) {
  for (const MeteredFrame& f : meter_.FromPc(byte, atMs)) {
    if (options_.trace) out_.Print(TraceLine("rx", f, f.lastMs));
  }
}

void Board::ByteLost(uint8_t byte, double atMs) {
  char what[64];
  std::snprintf(what, sizeof what, "byte 0x%02X lost: the receiver held two unread", byte);
  faults_.Note(FaultKind::Overrun, atMs, what);
}

void Board::SetKey(PanelKey key) {
  if (key == key_) return;
  if (key_ != PanelKey::None) out_.Print("key " + Ms(NowMs()) + " " + KeyName(key_) + " up");
  key_ = key;
  if (!PanelOnBus(options_.panel)) shield_.SetKey(key);
  if (key == PanelKey::None) return;
  out_.Print("key " + Ms(NowMs()) + " " + KeyName(key) + " down");
  meter_.KeyDown(NowMs());
}

bool Board::HasEncoder() const { return PanelOnBus(options_.panel) || options_.encoder; }

bool Board::Turn(int detents, double perSecond, bool pushed) {
  if (!HasEncoder()) return false;
  out_.Print("turn " + Ms(NowMs()) + " " + (detents < 0 ? "" : "+") + std::to_string(detents) + (pushed ? " pushed" : ""));
  encoder_.Turn(detents, perSecond, pushed);
  return true;
}

bool Board::Push(double holdMs) {
  if (!HasEncoder()) return false;
  out_.Print("push " + Ms(NowMs()) + " " + Ms(holdMs) + " ms");
  encoder_.Push(holdMs);
  meter_.KeyDown(NowMs());
  return true;
}

void Board::Unplug() {
  if (port_.Opened()) out_.Print("line " + Ms(NowMs()) + " closed");
  port_.Unplug();
}

void Board::Plug() {
  Unplug();
  std::string problem;
  if (!port_.Plug(&problem)) out_.Print("problem " + Ms(NowMs()) + " " + problem);
}

BoardFigures Board::Figures() const {
  BoardFigures f;
  meter_.Figures(&f);
  f.overruns = chip_.Overruns();
  f.asleepPercent = chip_.AsleepPercent();
  f.stackBytes = chip_.StackBytes();
  f.resets = resets_;
  f.busBusyPercent = BusBusyPercent();
  for (int kind = 0; kind < kFaultKinds; kind++) f.faults[kind] = faults_.Count(static_cast<FaultKind>(kind));
  return f;
}

std::string Board::Controls() const {
  std::string text = std::string("L ") + (led_ ? "on  " : "off  ");
  if (!PanelOnBus(options_.panel)) text += std::string("key ") + KeyName(key_) + "  ";
  if (!HasEncoder()) return text;
  const RotaryEncoder& e = encoder_.Encoder();
  return text + "encoder A " + (e.Level(kEncoderA) ? "1" : "0") + " B " + (e.Level(kEncoderB) ? "1" : "0") +
         " switch " + (e.Level(kEncoderSwitch) ? "open" : "closed");
}

bool Board::Light() const { return PanelOnBus(options_.panel) ? backpack_.Light() : shield_.Light(); }

// What a person sees: the text (blank while the display is switched off) and the light.
Screen Board::ReadScreen() const {
  Screen s;
  s.size = Size();
  s.light = Light();
  const Hd44780Memory& m = controller_.Memory();
  s.cells.fill(' ');
  for (int row = 0; row < s.size.rows; row++) {
    for (int column = 0; column < s.size.columns; column++) {
      s.cells[row * s.size.columns + column] = m.DisplayOn() ? m.Shown(row, column, s.size.columns) : ' ';
    }
  }
  return s;
}

double Board::BusBusyPercent() const {
  const uint64_t busy = twi_.BusyCycles();
  if (busy == 0 || chip_.Cycle() == 0) return -1;
  return 100.0 * static_cast<double>(busy) / static_cast<double>(chip_.Cycle());
}

const char* Board::LineState() const {
  if (!port_.Plugged()) return "unplugged";
  return port_.Opened() ? "open" : "closed";
}

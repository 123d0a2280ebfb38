#include "lcd_shield.h"

#include <cstdio>

#include "board_chip.h"
#include "display_timing.h"
#include "simavr.h"

namespace {

constexpr uint16_t kDdrB = 0x24, kPortB = 0x25, kPortD = 0x2B;  // data addresses
constexpr uint8_t kRsBit = 1 << 0;
constexpr uint8_t kBacklightBit = 1 << 2;
constexpr int kDataShift = 4;  // D4-D7 on PD4-PD7
constexpr int kRow1 = 0x40;    // the display's second row in its text memory

}  // namespace

struct LcdShield::Parts {
  avr_t* avr = nullptr;
  hd44780_t lcd;
  avr_irq_t* keys = nullptr;
  KeyLadder ladder = kCommonLadder;
  BoardFaults* faults = nullptr;
  DisplayTiming timing;
  bool backlightHigh = false;  // PB2 an output, driven high
  bool enable = false;

  double NowMs() const { return static_cast<double>(avr->cycle) / kCyclesPerMs; }
  void WatchBacklight(uint8_t ddr, uint8_t port);
  static void OnEnable(avr_irq_t*, uint32_t value, void* param);
  static void OnPortBWrite(avr_t* avr, avr_io_addr_t addr, uint8_t v, void* param);
};

// E falls: the controller latches.
void LcdShield::Parts::OnEnable(avr_irq_t*, uint32_t value, void* param) {
  Parts& p = *static_cast<Parts*>(param);
  const bool fell = p.enable && value == 0;
  p.enable = value != 0;
  if (!fell) return;
  const bool rs = (p.avr->data[kPortB] & kRsBit) != 0;
  const uint8_t nibble = static_cast<uint8_t>(p.avr->data[kPortD] >> kDataShift);
  const EarlyWrite e = p.timing.Latch(rs, nibble, p.NowMs() * 1000);
  if (!e.early) return;
  char what[96];
  std::snprintf(what, sizeof what, "%s %.1f us into an instruction of %.1f us", rs ? "data" : "instruction",
                e.afterUs, e.neededUs);
  p.faults->Note(FaultKind::Display, p.NowMs(), what);
}

// A write to DDRB or PORTB, after the port's own handler: what it makes of PB2.
void LcdShield::Parts::OnPortBWrite(avr_t* avr, avr_io_addr_t addr, uint8_t v, void* param) {
  Parts& p = *static_cast<Parts*>(param);
  p.WatchBacklight(addr == kDdrB ? v : avr->data[kDdrB], addr == kPortB ? v : avr->data[kPortB]);
  avr->data[addr] = v;  // again, should no handler of the port's own have taken it
}

void LcdShield::Parts::WatchBacklight(uint8_t ddr, uint8_t port) {
  const bool high = (ddr & port & kBacklightBit) != 0;
  if (high && !backlightHigh) faults->Note(FaultKind::Backlight, NowMs(), "PB2 an output driven high");
  backlightHigh = high;
}

LcdShield::LcdShield() : parts_(new Parts) {}

LcdShield::~LcdShield() { delete parts_; }

void LcdShield::Attach(avr_t* avr, const KeyLadder& ladder, BoardFaults* faults) {
  Parts& p = *parts_;
  p.avr = avr;
  p.ladder = ladder;
  p.faults = faults;
  hd44780_init(avr, &p.lcd, kLcdColumns, kLcdRows);
  avr_irq_t* enable = avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ('B'), 1);
  avr_connect_irq(avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ('B'), 0), p.lcd.irq + IRQ_HD44780_RS);
  avr_connect_irq(enable, p.lcd.irq + IRQ_HD44780_E);
  for (int i = 0; i < 4; i++) {
    avr_connect_irq(avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ('D'), 4 + i), p.lcd.irq + IRQ_HD44780_D4 + i);
  }
  avr_raise_irq(p.lcd.irq + IRQ_HD44780_RW, 0);
  avr_irq_register_notify(enable, Parts::OnEnable, &p);
  avr_register_io_write(avr, kDdrB, Parts::OnPortBWrite, &p);
  avr_register_io_write(avr, kPortB, Parts::OnPortBWrite, &p);
  p.timing.PowerOn(p.NowMs() * 1000);
  p.keys = avr_io_getirq(avr, AVR_IOCTL_ADC_GETIRQ, ADC_IRQ_ADC0);
  SetKey(PanelKey::None);
}

void LcdShield::SetKey(PanelKey key) {
  avr_raise_irq(parts_->keys, ReadingMillivolts(KeyReading(parts_->ladder, key)));
}

bool LcdShield::Light() const {
  const uint8_t* data = parts_->avr->data;
  return !(data[kDdrB] & kBacklightBit) || (data[kPortB] & kBacklightBit);
}

Screen LcdShield::Read() const {
  Parts& p = *parts_;
  Screen s;
  s.light = Light();
  const bool on = hd44780_get_flag(&p.lcd, HD44780_FLAG_D);
  for (int i = 0; i < kLcdColumns; i++) {
    s.cells[i] = on ? p.lcd.vram[i] : ' ';
    s.cells[kLcdColumns + i] = on ? p.lcd.vram[kRow1 + i] : ' ';
  }
  return s;
}

#include "lcd_shield.h"

#include "board_chip.h"
#include "simavr.h"

namespace {

constexpr uint16_t kDdrB = 0x24, kPortB = 0x25, kPortD = 0x2B;  // data addresses
constexpr uint8_t kRsBit = 1 << 0;
constexpr uint8_t kBacklightBit = 1 << 2;
constexpr int kDataShift = 4;  // D4-D7 on PD4-PD7

}  // namespace

struct LcdShield::Parts {
  avr_t* avr = nullptr;
  avr_irq_t* keys = nullptr;
  KeyLadder ladder = kCommonLadder;
  BoardFaults* faults = nullptr;
  DisplayController* display = nullptr;
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
  p.display->Latch(rs, static_cast<uint8_t>(p.avr->data[kPortD] >> kDataShift), p.NowMs());
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

void LcdShield::Attach(avr_t* avr, const KeyLadder& ladder, BoardFaults* faults, DisplayController* display) {
  Parts& p = *parts_;
  p.avr = avr;
  p.ladder = ladder;
  p.faults = faults;
  p.display = display;
  avr_irq_t* enable = avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ('B'), 1);
  avr_irq_register_notify(enable, Parts::OnEnable, &p);
  avr_register_io_write(avr, kDdrB, Parts::OnPortBWrite, &p);
  avr_register_io_write(avr, kPortB, Parts::OnPortBWrite, &p);
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

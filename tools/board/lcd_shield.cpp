#include "lcd_shield.h"

#include "simavr.h"

namespace {

constexpr int kPortB = 0x25;  // PORTB's data address: the backlight is its bit 2
constexpr uint8_t kBacklightBit = 1 << 2;
constexpr int kRow1 = 0x40;   // the display's second row in its text memory

}  // namespace

struct LcdShield::Parts {
  avr_t* avr = nullptr;
  hd44780_t lcd;
  avr_irq_t* keys = nullptr;
};

LcdShield::LcdShield() : parts_(new Parts) {}

LcdShield::~LcdShield() { delete parts_; }

void LcdShield::Attach(avr_t* avr) {
  Parts& p = *parts_;
  p.avr = avr;
  hd44780_init(avr, &p.lcd, kLcdColumns, kLcdRows);
  avr_connect_irq(avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ('B'), 0), p.lcd.irq + IRQ_HD44780_RS);
  avr_connect_irq(avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ('B'), 1), p.lcd.irq + IRQ_HD44780_E);
  for (int i = 0; i < 4; i++) {
    avr_connect_irq(avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ('D'), 4 + i), p.lcd.irq + IRQ_HD44780_D4 + i);
  }
  avr_raise_irq(p.lcd.irq + IRQ_HD44780_RW, 0);
  p.keys = avr_io_getirq(avr, AVR_IOCTL_ADC_GETIRQ, ADC_IRQ_ADC0);
  SetKey(PanelKey::None);
}

void LcdShield::SetKey(PanelKey key) { avr_raise_irq(parts_->keys, KeyMillivolts(key)); }

Screen LcdShield::Read() const {
  Parts& p = *parts_;
  Screen s;
  s.light = (p.avr->data[kPortB] & kBacklightBit) != 0;
  const bool on = hd44780_get_flag(&p.lcd, HD44780_FLAG_D);
  for (int i = 0; i < kLcdColumns; i++) {
    s.cells[i] = on ? p.lcd.vram[i] : ' ';
    s.cells[kLcdColumns + i] = on ? p.lcd.vram[kRow1 + i] : ' ';
  }
  return s;
}

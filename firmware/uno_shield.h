// The board the panel firmware runs on: an Arduino Uno R3 (ATmega328P at 16 MHz) with the
// common 16x2 LCD keypad shield. Every pin and the keys' resistor ladder are named here
// and nowhere else; the simulated board (tools/board) is wired the same way.
//
//   LCD RS      D8    PB0        LCD E       D9   PB1
//   LCD D4..D7  D4-D7 PD4..PD7   LCD RW      tied to ground: no busy flag to read
//   backlight   D10   PB2: never driven high (below)
//   keys        A0    ADC0, one resistor ladder, 5 V reference
//   panel line  D0/D1 UART0, 115200 8N1 (double speed, UBRR 16, as the Uno's USB chip)
#pragma once
#include <stdint.h>

constexpr uint32_t kCpuHz = 16000000UL;
constexpr uint32_t kLineBaud = 115200UL;
constexpr uint8_t kLineUbrr = 16;  // double speed: 16 MHz / (8 * 17) = 117647 baud, 2.1 % fast

// The keys pull A0 down through a ladder; no key leaves it at 5 V. Readings are 10-bit
// against the 5 V reference, and a key is the one whose voltage is nearest: the
// thresholds lie half-way between neighbours.
constexpr uint16_t kAdcFullScale = 1023;
constexpr uint16_t kReferenceMv = 5000;
constexpr uint16_t ReadingOf(uint16_t millivolts) {
  return static_cast<uint16_t>(static_cast<uint32_t>(millivolts) * kAdcFullScale / kReferenceMv);
}
constexpr uint16_t HalfWay(uint16_t lowMv, uint16_t highMv) {
  return static_cast<uint16_t>((ReadingOf(lowMv) + ReadingOf(highMv)) / 2);
}
constexpr uint16_t kRightMv = 0, kUpMv = 700, kDownMv = 1600, kLeftMv = 2500, kSelectMv = 3600, kNoKeyMv = 5000;
constexpr uint16_t kBelowUp = HalfWay(kRightMv, kUpMv);         // 71: Right below
constexpr uint16_t kBelowDown = HalfWay(kUpMv, kDownMv);        // 235: Up below
constexpr uint16_t kBelowLeft = HalfWay(kDownMv, kLeftMv);      // 419: Down below
constexpr uint16_t kBelowSelect = HalfWay(kLeftMv, kSelectMv);  // 623: Left below
constexpr uint16_t kBelowNoKey = HalfWay(kSelectMv, kNoKeyMv);  // 879: Select below, no key above

// The backlight: on many of these shields D10 drives the backlight transistor's base with
// no resistor, so D10 as an output driven high is a near short that can damage the pin.
// Its PORT bit stays 0 for good: an input lets the shield's own pull-up light it, an
// output (then low) switches it off.

#ifdef __AVR__
#include <avr/io.h>

#define LCD_CONTROL_PORT PORTB
#define LCD_CONTROL_DDR DDRB
#define LCD_RS_BIT PB0
#define LCD_E_BIT PB1
#define LCD_DATA_PORT PORTD
#define LCD_DATA_DDR DDRD
#define LCD_DATA_SHIFT 4  // D4..D7 on PD4..PD7: a nibble goes out shifted by four
#define LCD_DATA_MASK 0xF0
#define BACKLIGHT_PORT PORTB
#define BACKLIGHT_DDR DDRB
#define BACKLIGHT_BIT PB2
#define KEYS_ADC_CHANNEL 0
#endif

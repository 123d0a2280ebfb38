// The board the panel firmware runs on: an Arduino Uno R3 (ATmega328P at 16 MHz) with the
// common 16x2 LCD keypad shield. Every pin and the keys' resistor ladder are named here
// and nowhere else; the simulated board (tools/board) is wired the same way.
//
//   LCD RS      D8    PB0        LCD E       D9   PB1
//   LCD D4..D7  D4-D7 PD4..PD7   LCD RW      tied to ground: no busy flag to read
//   backlight   D10   PB2: never driven high (below)
//   keys        A0    ADC0, one resistor ladder, 5 V reference
//   panel line  D0/D1 UART0, 115200 8N1 (double speed, UBRR 16, as the Uno's USB chip)
//
// The I2C panel (a 20x4 or 16x2 HD44780 on a PCF8574 backpack, logic/backpack.h) and the
// rotary encoder, on pins the shield leaves free, so that either panel may have both:
//   I2C SDA, SCL  A4, A5  PC4, PC5 (the TWI), pull-ups on the backpack
//   encoder A, B  D2, D3  PD2 (INT0), PD3 (INT1), pull-ups on the module
//   encoder push  D12     PB4, to ground when pushed (our own pull-up: some modules have none)
//   L LED         D13     PB5: blinks while the I2C display cannot be reached
#pragma once
#include <stdint.h>

constexpr uint32_t kCpuHz = 16000000UL;
constexpr uint32_t kLineBaud = 115200UL;
constexpr uint8_t kLineUbrr = 16;  // double speed: 16 MHz / (8 * 17) = 117647 baud, 2.1 % fast

// The keys pull A0 down through a ladder; no key leaves it at 5 V (1023). Readings are
// 10-bit against the 5 V reference. The ladder's resistors differ between the shield's
// revisions and makers; published readings (Right/Up/Down/Left/Select):
//   0/144/329/504/741   0/98/254/407/637   19/113/253/387/605   0/131/308/483/725
//   0/146/334/511/745   and the simulated board's 0/143/327/511/736
// Midpoints of one ladder misread others: on 0/98/254/407/637 Left's 407 fell below the
// old threshold of 419 and read as Down.
// These thresholds decode every set above with at least 26 counts to spare at each
// boundary (334 below 360 is the closest), room for the resistors' tolerance and noise.
// A shield on another ladder (0/512/683/768/819) is calibrated by its user
// (logic/key_ladder.h).
constexpr uint16_t kAdcFullScale = 1023;
constexpr uint16_t kBelowUp = 58;       // Right below (at most 19 read), Up above (at least 98)
constexpr uint16_t kBelowDown = 200;    // Up below (at most 146), Down above (at least 253)
constexpr uint16_t kBelowLeft = 360;    // Down below (at most 334), Left above (at least 387)
constexpr uint16_t kBelowSelect = 558;  // Left below (at most 511), Select above (at least 605)
constexpr uint16_t kBelowNoKey = 884;   // Select below (at most 745), no key above (1023)

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
#define I2C_SDA_BIT PC4
#define I2C_SCL_BIT PC5
#define ENCODER_PIN PIND
#define ENCODER_PORT PORTD
#define ENCODER_A_BIT PD2
#define ENCODER_B_BIT PD3
#define PUSH_PIN PINB
#define PUSH_PORT PORTB
#define PUSH_BIT PB4
#define STUCK_LED_PORT PORTB
#define STUCK_LED_DDR DDRB
#define STUCK_LED_BIT PB5
#define LINE_TX_PORT PORTD  // D1, UART0's TX: held at the line's idle level until the UART has it
#define LINE_TX_DDR DDRD
#define LINE_TX_BIT PD1
#endif

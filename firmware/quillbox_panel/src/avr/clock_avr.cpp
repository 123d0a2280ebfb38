// The millisecond clock on Timer0, and the keys' voltage on ADC0, read every few
// milliseconds by the ADC's own interrupt. Both interrupts wake the sleeping CPU.
#include <avr/interrupt.h>
#include <avr/io.h>
#include <util/atomic.h>

#include "../logic/board_io.h"
#include "../logic/keys.h"
#include "../uno_shield.h"

namespace {

volatile uint32_t Millis = 0;
volatile uint16_t Reading = 0;
volatile bool ReadingNew = false;
uint8_t SinceSample = 0;

}  // namespace

ISR(TIMER0_COMPA_vect) {
  Millis = Millis + 1;
  if (++SinceSample >= kKeySampleMs) {
    SinceSample = 0;
    ADCSRA |= _BV(ADSC);
  }
}

ISR(ADC_vect) {
  Reading = ADC;
  ReadingNew = true;
}

void ClockStart() {
  // 16 MHz / 64 / 250: one compare match a millisecond.
  TCCR0A = _BV(WGM01);
  TCCR0B = _BV(CS01) | _BV(CS00);
  OCR0A = static_cast<uint8_t>(kCpuHz / 64 / 1000 - 1);
  TIMSK0 = _BV(OCIE0A);
  // AVCC (the 5 V the ladder hangs from) as the reference; 16 MHz / 128 = 125 kHz.
  ADMUX = _BV(REFS0) | KEYS_ADC_CHANNEL;
  ADCSRA = _BV(ADEN) | _BV(ADIE) | _BV(ADPS2) | _BV(ADPS1) | _BV(ADPS0);
  DIDR0 = _BV(KEYS_ADC_CHANNEL);
}

uint32_t BoardMillis() {
  uint32_t now;
  ATOMIC_BLOCK(ATOMIC_RESTORESTATE) { now = Millis; }
  return now;
}

bool BoardKeyReading(uint16_t* reading) {
  bool fresh;
  ATOMIC_BLOCK(ATOMIC_RESTORESTATE) {
    fresh = ReadingNew;
    *reading = Reading;
    ReadingNew = false;
  }
  return fresh;
}

// The rotary encoder: A and B on INT0 and INT1, each interrupting on every change of
// either pin, so that no step is missed at any speed a hand turns (a step lasts
// milliseconds, the interrupt microseconds); logic/encoder.h decodes the steps and
// rides out the contacts' bounce. The push is read with the keys' ADC samples and
// debounced with the keys.
#include <avr/interrupt.h>
#include <avr/io.h>
#include <util/atomic.h>

#include "drivers_avr.h"
#include "../logic/board_io.h"
#include "../logic/encoder.h"
#include "../uno_shield.h"

namespace {

Quadrature Decoder;
volatile int8_t Turns = 0;  // detents not yet taken by the main loop
volatile uint16_t ChangedMs = 0;  // wrapping: only the time since it matters
DetentSteps EncoderSteps = DetentSteps::kFour;
bool TellSteps = true;  // the setup leaves the kind to the encoder's rest

uint8_t Pins() {
  const uint8_t in = ENCODER_PIN;
  return static_cast<uint8_t>(((in >> ENCODER_A_BIT) & 1) << 1 | ((in >> ENCODER_B_BIT) & 1));
}

void OnChange() {
  ChangedMs = static_cast<uint16_t>(BoardMillis());
  const int8_t detent = QuadratureFeed(&Decoder, Pins(), EncoderSteps);
  if (detent > 0 && Turns < 100) Turns = static_cast<int8_t>(Turns + 1);
  if (detent < 0 && Turns > -100) Turns = static_cast<int8_t>(Turns - 1);
}

}  // namespace


ISR(INT0_vect) { OnChange(); }
ISR(INT1_vect, ISR_ALIASOF(INT0_vect));

void EncoderStart() {
  // The module's own pull-ups hold A and B; ours too, so that a panel without an encoder
  // reads it at rest rather than floating into turns. The push needs ours: some modules
  // have none.
  ENCODER_PORT |= _BV(ENCODER_A_BIT) | _BV(ENCODER_B_BIT);
  PUSH_PORT |= _BV(PUSH_BIT);
  QuadratureReset(&Decoder, Pins());
  EICRA = _BV(ISC10) | _BV(ISC00);  // any change of either
  EIFR = _BV(INTF1) | _BV(INTF0);
  EIMSK = _BV(INT1) | _BV(INT0);
}

int8_t BoardTurns() {
  int8_t turns;
  ATOMIC_BLOCK(ATOMIC_RESTORESTATE) {
    turns = Turns;
    Turns = 0;
    // Served as a whole-cycle encoder until it shows it is not.
    const uint16_t stillMs = static_cast<uint16_t>(BoardMillis() - ChangedMs);
    if (TellSteps && EncoderSteps == DetentSteps::kFour && RestsAtHalfCycle(Pins(), stillMs)) {
      EncoderSteps = DetentSteps::kTwo;
      QuadratureReset(&Decoder, Pins());
    }
  }
  return turns;
}

void EncoderSet(DetentSetting detents) {
  ATOMIC_BLOCK(ATOMIC_RESTORESTATE) {
    TellSteps = detents == DetentSetting::kAuto;
    EncoderSteps = detents == DetentSetting::kTwo ? DetentSteps::kTwo : DetentSteps::kFour;
    QuadratureReset(&Decoder, Pins());
  }
}

bool BoardPushDown() { return (PUSH_PIN & _BV(PUSH_BIT)) == 0; }

// The panel firmware's start and main loop: the interrupts keep the line and the clock,
// the main loop runs the panel whenever one of them woke it, and the CPU sleeps between.
#include <avr/interrupt.h>
#include <avr/io.h>
#include <avr/sleep.h>
#include <avr/wdt.h>
#include <util/delay.h>

#include "drivers_avr.h"
#include "../logic/board_io.h"
#include "../logic/panel.h"

namespace {

// The display needs 40 ms after its power comes up. After a reset by the line (the PC
// opening the port) it has been on all along and the panel is up at once. A bootloader
// may have cleared the cause: then the wait is kept, to be safe.
void WaitForDisplayPower(uint8_t resetCause) {
  const bool lineReset = (resetCause & _BV(EXTRF)) != 0 && (resetCause & _BV(PORF)) == 0;
  if (!lineReset) _delay_ms(45);
}

// Sleeps until the next interrupt, unless a byte already waits: checked with interrupts
// off, so a byte that arrives in between still wakes the CPU (sei takes effect after
// the next instruction, the sleep).
void SleepUntilInterrupt() {
  cli();
  if (LineWaiting()) {
    sei();
    return;
  }
  sleep_enable();
  sei();
  sleep_cpu();
  sleep_disable();
}

}  // namespace

int main() {
  LineHoldIdle();
  StorePark();
  const uint8_t resetCause = MCUSR;
  MCUSR = 0;
  wdt_disable();
  set_sleep_mode(SLEEP_MODE_IDLE);
  WaitForDisplayPower(resetCause);
  DisplayStart();
  ClockStart();
  EncoderStart();
  LineStart();
  sei();
  PanelStart();
  for (;;) {
    PanelStep();
    DisplayStep(BoardMillis());
    SleepUntilInterrupt();
  }
}

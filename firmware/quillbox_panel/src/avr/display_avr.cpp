// Which display the panel has, found once at start: a backpack that answers on the I2C
// bus means the I2C panel; none (or a bus held low, as the shield's floating A4 and A5 may
// read) means the keypad shield. Then the one HD44780 core writes through that panel's
// I/O class, and the L LED blinks while the I2C display cannot be reached.
#include <avr/io.h>

#include "display_avr.h"
#include "drivers_avr.h"
#include "../logic/backpack.h"
#include "../logic/board_io.h"
#include "../uno_shield.h"

namespace {

bool OnBus = false;
const Screen* Wanted = nullptr;  // the panel's screen, kept by the panel between calls
bool Written = true;             // the display shows all of Wanted

uint8_t FindBackpack() {
  if (!BusLinesHigh()) return 0;
  for (uint8_t i = 0; i < kBackpackAddresses; i++) {
    if (BusProbe(BackpackAddress(i))) return BackpackAddress(i);
  }
  return 0;
}

void ShowStuck(bool stuck, uint32_t nowMs) {
  if (stuck && (nowMs & 0x100) != 0) {
    STUCK_LED_PORT |= _BV(STUCK_LED_BIT);
  } else {
    STUCK_LED_PORT &= static_cast<uint8_t>(~_BV(STUCK_LED_BIT));
  }
}

}  // namespace

void DisplayStart() {
  STUCK_LED_DDR |= _BV(STUCK_LED_BIT);
  BusStart();
  const uint8_t address = FindBackpack();
  OnBus = address != 0;
  if (OnBus) {
    BusUse(address);  // its size is the setup's (logic/panel_setup.h)
  } else {
    PinsStart();
  }
  LcdBegin();
  // The shield's start-up blocks (12 ms of waits): it runs before the line does. The
  // backpack's goes from the bus's interrupt, its waits kept by BusStep.
  if (OnBus) {
    LcdFeedStart(BusPut);
    return;
  }
  do {
    PinsSlice();
  } while (!LcdFeedStart(PinsPut));
}

bool DisplayOnBus() { return OnBus; }

void DisplayShow(const Screen& screen) {
  Wanted = &screen;
  Written = false;
  DisplayStep(BoardMillis());
}

void DisplayStep(uint32_t nowMs) {
  if (!OnBus) {
    PinsSlice();
    if (!Written && Wanted != nullptr) Written = LcdFeed(*Wanted, PinsPut);
    return;
  }
  const BusHealth health = BusStep(nowMs);
  if (health == BusHealth::Back) {
    LcdBegin();
    Written = false;
  }
  if (!Written && Wanted != nullptr) Written = LcdFeed(*Wanted, BusPut);
  ShowStuck(health == BusHealth::Stuck, nowMs);
}

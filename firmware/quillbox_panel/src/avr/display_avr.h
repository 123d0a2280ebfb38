// The display's two I/O classes under the one HD44780 core (logic/lcd_core.h), and what
// display_avr.cpp, which picks one at start, needs of them.
#pragma once
#include <stdint.h>

#include "../logic/lcd_core.h"

// The shield's pins: every operation written and waited out at once.
void PinsStart();
constexpr uint8_t kPinsSlice = 8;  // operations a turn: about 0.5 ms
void PinsSlice();                  // a new turn
bool PinsPut(const LcdOp& op);     // false once the turn's slice is written

// A PCF8574 backpack over the TWI at 100 kHz, driven from the TWI's interrupt.
void BusStart();                    // the TWI at 100 kHz, the lines' pull-ups on
bool BusLinesHigh();                // neither line is held low
bool BusProbe(uint8_t address);     // the address acknowledged (a bounded wait, no interrupt)
void BusUse(uint8_t address);       // the backpack at this address is the display
bool BusPut(const LcdOp& op);       // queued; false when the queue is full
// Starts sending what is queued, keeps the waits, notices a stuck bus and tries the
// backpack again once a second; from the main loop. Back: the backpack answers again,
// and the display is to be started afresh (LcdBegin).
enum class BusHealth : uint8_t { Fine, Stuck, Back };
BusHealth BusStep(uint32_t nowMs);

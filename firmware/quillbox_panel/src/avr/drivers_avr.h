// Starting the board's parts, in main_avr.cpp's order; what the panel uses of them is
// in logic/board_io.h.
#pragma once

void LineHoldIdle();  // TX driven high before anything else, until the UART has it
void StorePark();     // the EEPROM's address register off every record
void ClockStart();    // the millisecond timer and the keys' ADC
void DisplayStart();  // the HD44780 in 4-bit mode, the glyphs, the backlight on
void LineStart();     // UART0 at 115200 8N1, receiving by interrupt
bool LineWaiting();   // a received byte waits: no sleeping now

// Starting the board's parts, in main_avr.cpp's order; what the panel uses of them is
// in logic/board_io.h.
#pragma once
#include <stdint.h>


void LineHoldIdle();  // TX driven high before anything else, until the UART has it
void StorePark();     // the EEPROM's address register off every record
void ClockStart();    // the millisecond timer and the keys' ADC

void DisplayStart();  // finds the panel's display (shield or I2C backpack) and starts it
// Writes on what the display still lacks, and watches the I2C bus; every main loop pass.
void DisplayStep(uint32_t nowMs);
void EncoderStart();  // the encoder's pins and interrupts, the push's pull-up
void LineStart();     // UART0 at 115200 8N1, receiving by interrupt
bool LineWaiting();   // a received byte waits: no sleeping now

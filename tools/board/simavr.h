// simavr's headers in one place: its C headers declare their own C linkage, the parts'
// headers do not.
#pragma once
#include <sim_avr.h>
#include <sim_elf.h>
#include <sim_hex.h>
#include <sim_io.h>
#include <sim_irq.h>
#include <sim_regbit.h>
#include <sim_cycle_timers.h>
#include <avr_adc.h>
#include <avr_ioport.h>
#include <avr_uart.h>
extern "C" {
#include <parts/hd44780.h>
}

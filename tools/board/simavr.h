// simavr's headers in one place (its C headers declare their own C linkage). The board
// models its parts itself: nothing of simavr's parts library is used.
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

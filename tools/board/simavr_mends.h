// Where simavr 1.6 is wrong about the ATmega328P in ways the bootloader meets, mended
// from outside the library (one chip a process):
// - Its watchdog ignores a prescaler change made through WDCE (it writes the register,
//   then reads the "old" prescaler from it, finds no change and leaves the running
//   timer alone): optiboot's 16 ms exit took about 1.1 s. The mend restarts the timer at
//   the new period, as a WDR would.
// - Its SPM page erase starts at Z as it is, not at Z's page: an erase at a misaligned
//   address wiped the end of one page and the start of the next. The chip takes the
//   page from Z's upper bits for an erase and a page write; the mend aligns Z for the
//   call.
// - Its port pins' notifications are filtered (a value equal to the last is not sent) and
//   a reset does not forget the last: a pin the firmware pulled up before the reset read
//   low after it, its pull-up set again and the notification that would have raised the
//   pin register kept back. On the chip every pin is a floating input after a reset; the
//   mend makes the notifications start from there (low) again.
#pragma once
#include <functional>

struct avr_t;

// False when the chip has no watchdog register to mend.
bool MendWatchdog(avr_t* avr);
// afterSpm runs after every SPM instruction (the flash may have changed). False when
// the chip has no self-programming module.
bool MendSpm(avr_t* avr, std::function<void()> afterSpm);
// After every reset of the chip, before a board's own pins are put back.
void MendPortsAfterReset(avr_t* avr);

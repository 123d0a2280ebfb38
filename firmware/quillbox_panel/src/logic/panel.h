// The panel: everything the firmware does between interrupts, on any board that
// provides board_io.h. The main loop calls PanelStep whenever an interrupt woke it.
#pragma once

// Start-up: the link is down and the display says so.
void PanelStart();
// Takes what the line brought, samples the keys, moves the clocks on and updates the
// display when anything changed.
void PanelStep();


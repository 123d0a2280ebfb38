// What must hold on every tick of the poll-cycle fuzzer, whatever the line, the disk and
// the player did. A failed check names itself on stderr and aborts, so that libFuzzer
// reports the input; the sanitizers check the rest (no read or write outside a buffer,
// every path handed over terminated inside its buffer, no leak).
#pragma once

// Installs the checks on every path handed to the player and to the file system.
void WatchPaths();

// Runs one tick between the checks: the timer re-armed exactly once, no reply and no frame
// longer than 250 bytes, every index the plug-in chose within the 500 entries, the tick's
// time on the line bounded, no file lost, and the browse and list state in bounds.
void CheckedTick();

// The wall clock the board keeps pace with, and a bounded sleep that input can end early.
#pragma once

double WallMs();  // monotonic
// Sleeps up to `ms`, or until one of the descriptors (-1: none) is readable.
void SleepOrInput(double ms, int fdA, int fdB, int fdC);

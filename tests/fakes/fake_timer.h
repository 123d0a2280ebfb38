// Counts the re-arming of the poll timer instead of arming one, and plays quit beginning
// part way through a long command.
#pragma once

extern int ArmCalls;

// QuitRequested() answers true from its call number QuitAfterChecks on (0-based);
// -1: never. QuitChecks counts the calls.
extern int QuitAfterChecks;
extern int QuitChecks;

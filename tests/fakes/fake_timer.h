// Counts the re-arming of the poll timer instead of arming one, and answers the quit
// question from a flag a test sets.
#pragma once

extern int ArmCalls;
extern bool QuitFlag;  // what QuitRequested() answers

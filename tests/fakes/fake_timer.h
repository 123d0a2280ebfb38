// Counts the re-arming of the poll timer instead of arming one, and plays quit beginning
// in the middle of a tick.
#pragma once

extern int ArmCalls;
// QuitRequested() answers false this many times, then true; negative: quit never begins.
extern int QuitAfterQuestions;

// Counts the re-arming of the poll timer instead of arming one.
#pragma once

extern int ArmCalls;

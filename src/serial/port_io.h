// The bytes under the frame codec. The DLL links port_io_win.cpp (the open serial
// port); native tests link a fake that scripts what arrives and records what leaves.
#pragma once
#include <cstdint>

// Writes length bytes in one write; returns the count written (short when the line's
// write time-out ran out), or -1 when the write failed.
int PortWrite(const uint8_t* data, uint32_t length);

// Reads up to length bytes, waiting at most timeoutMs in all (never 0: a zero wait
// would block for ever on a Win32 port); returns the count read, or -1 on failure.
int PortRead(uint8_t* data, uint32_t length, uint32_t timeoutMs);

// A millisecond clock that only moves forward (wrapping), to bound the marker hunt.
uint32_t PortMillis();

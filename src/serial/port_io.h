// The port under the frame codec: its bytes, its line status, and opening it again. The
// DLL links port_io_win.cpp and serial_port_win.cpp (the COM port); native tests link a
// fake that scripts what arrives, records what leaves and fails calls as a pulled USB
// adapter does.
#pragma once
#include <cstdint>

// Writes length bytes in one write; returns the count written (short when the line's
// write time-out ran out), or -1 when the write failed.
int PortWrite(const uint8_t* data, uint32_t length);

// Reads up to length bytes, waiting at most timeoutMs in all (never 0: a zero wait
// would block for ever on a Win32 port); returns the count read, or -1 on failure.
int PortRead(uint8_t* data, uint32_t length, uint32_t timeoutMs);

// The system's code of the last PortWrite or PortRead that returned -1.
uint32_t PortError();

// Asks the driver how the open line stands, which also clears a line error that stopped
// the port's calls: 0 when it answers, otherwise the system's code of its failure.
uint32_t PortLineStatus();

// Whether a port is open; false once a dead one was closed.
bool PortIsOpen();

// Starts a helper thread that opens and configures the port as start-up does and
// reports the outcome to PortOpenFinished (port_opener.h). False when it cannot start.
bool StartPortOpener(uint32_t port, uint32_t baud);

// Makes a port the helper opened the open port.
void AdoptOpenedPort(void* port);

// Closes a port the helper opened that nobody will use; on any thread.
void CloseUnusedPort(void* port);

// Closes the open port, dead or alive.
void PortClose();

// A millisecond clock that only moves forward (wrapping), to bound the marker hunt, to
// space the attempts at opening a port that went away and to keep the line quiet after
// an open.
uint32_t PortMillis();

// Lets about ms milliseconds pass on the calling thread, while it waits for the helper.
void PortPause(uint32_t ms);

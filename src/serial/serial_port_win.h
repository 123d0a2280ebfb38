// Opening and closing the panel's COM port.
#pragma once
#include <windows.h>

#include <cstdint>

// The open port that the frame codec reads and writes; null while none is open.
extern HANDLE SerialHandle;

// Opens COM1..COM255 exclusively at 19200 or 115200 baud, 8N1 without flow control, DTR on
// and RTS off, writes timing out after 300 ms. Null for any other port or rate (without
// touching the system) and whenever the port cannot be opened and configured; a failed
// open leaves nothing open.
HANDLE OpenSerialPort(uint32_t port, uint32_t baud);

// Sets the line as the panel needs it (8N1 at baud, binary, no flow control, no error
// handling that alters or stops the bytes, DTR on and RTS off) over whatever the driver
// or the previous program left in dcb.
void ApplyLineSetting(DCB* dcb, uint32_t baud);

// Purges and closes; a null handle is ignored.
void CloseSerialPort(HANDLE handle);

// Makes the next read set its wait on the port again (port_io_win.cpp); called whenever
// the port under the reads is closed or another takes its place.
void ForgetReadWait();

// The serial ports this machine has, as the system's serial device map lists them
// (HKLM\HARDWARE\DEVICEMAP\SERIALCOMM): every driver of a serial port, a USB serial
// chip or a board's own USB port among them, enters its "COMn" name there, and terminal
// programs read their port lists from it. The reading is in present_ports_win.cpp.
#pragma once
#include <cstddef>
#include <cstdint>

#include "serial/serial_port.h"

struct PresentPorts {
  bool has[kMaxComPort + 1];  // has[n]: COMn is listed; has[0] is never set
};

// The port that a text of the map names, "COM1" to "COM255" (any letter case) in its
// first `length` bytes or up to a NUL among them; 0 for any other text.
uint32_t ComPortNumber(const char* text, size_t length);

// Marks the port a text of the map names; any other text is passed over.
void NotePresentPort(PresentPorts* present, const char* text, size_t length);

// Marks every port the map lists; an unreadable map marks none.
void ReadPresentPorts(PresentPorts* present);

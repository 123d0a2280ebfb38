// Opening the panel's serial port: which ports and rates are allowed, and their names.
// The open itself is in serial_port_win.cpp.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr uint32_t kPanelBaud = 115200;
constexpr uint32_t kWriteTimeoutMs = 300;

// Writes "COM1".."COM3" into name for an allowed port and rate (ports 1 to 3,
// 19200 or 115200 baud) and returns true; false, and no name, for anything else.
bool SerialPortName(uint32_t port, uint32_t baud, char* name, size_t size);

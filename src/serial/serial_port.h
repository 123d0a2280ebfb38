// Opening the panel's serial port: which ports and rates are allowed, and their names.
// The open itself is in serial_port_win.cpp.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr uint32_t kPanelBaud = 115200;
constexpr uint32_t kWriteTimeoutMs = 300;
// Windows numbers serial ports COM1 to COM255.
constexpr uint32_t kMaxComPort = 255;
// The longest name an open takes, "\\.\COM255", and its terminator.
constexpr size_t kPortNameSize = 11;

// Writes the name that opens an allowed port at an allowed rate (ports 1 to 255, 19200 or
// 115200 baud) into name and returns true: "COM1" to "COM9", and "\\.\COM10" to
// "\\.\COM255" in the device namespace, the only form by which Windows opens ports
// above 9. False, and no name, for anything else or a buffer too small.
bool SerialPortName(uint32_t port, uint32_t baud, char* name, size_t size);

// The start-up dialog's port list: which ports it shows, in which order, and their texts.
#pragma once
#include <cstddef>
#include <cstdint>

#include "serial/present_ports.h"

// COM1 to COM3 are always listed, at list indexes 0 to 2: the ports a panel hung on
// before ports were looked up, present or not.
constexpr uint32_t kAlwaysListedPorts = 3;
// "COM255" and its terminator.
constexpr size_t kPortLabelSize = 7;

struct PortList {
  size_t count;
  uint8_t ports[kMaxComPort];  // port numbers, in list order
};
static_assert(kMaxComPort <= UINT8_MAX);

// COM1 to COM3, then every other present port, and the configured port when it is valid
// (so that the user sees what is set even when that port is missing), all in number
// order and each once.
PortList ListedPorts(const PresentPorts& present, int32_t configured);

// "COM12": the text of a port's list entry.
void PortLabel(uint32_t port, char (&label)[kPortLabelSize]);

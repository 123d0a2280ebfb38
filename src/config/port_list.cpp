// The start-up dialog's port list, made without windows so that it is tested natively.
#include "config/port_list.h"

#include <cstdio>

#include "config/dialog_rules.h"

PortList ListedPorts(const PresentPorts& present, int32_t configured) {
  PortList list = {};
  for (uint32_t port = 1; port <= kMaxComPort; port++) {
    const bool isConfigured = ValidComPort(configured) && static_cast<uint32_t>(configured) == port;
    if (port <= kAlwaysListedPorts || present.has[port] || isConfigured) {
      list.ports[list.count++] = static_cast<uint8_t>(port);
    }
  }
  return list;
}

void PortLabel(uint32_t port, char (&label)[kPortLabelSize]) {
  std::snprintf(label, sizeof label, "COM%u", static_cast<unsigned>(port));
}

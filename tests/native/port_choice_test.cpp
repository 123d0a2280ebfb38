// Which port the panel can be on: the texts of the serial device map, the dialog's list
// made from them and the configured port, the valid range, and the name each port opens as.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/dialog_rules.h"
#include "config/port_list.h"
#include "serial/present_ports.h"
#include "serial/serial_port.h"

namespace {

// The list as the user reads it: the entries' texts, one blank between them.
std::string ListText(const PortList& list) {
  std::string text;
  for (size_t i = 0; i < list.count; i++) {
    char label[kPortLabelSize];
    PortLabel(list.ports[i], label);
    text += (i == 0 ? "" : " ") + std::string(label);
  }
  return text;
}

PresentPorts FromMap(const std::vector<std::string>& texts) {
  PresentPorts present = {};
  for (const std::string& text : texts) {
    // Exactly the bytes the registry returned, with no terminator behind them.
    const std::vector<char> bytes(text.begin(), text.end());
    NotePresentPort(&present, bytes.data(), bytes.size());
  }
  return present;
}

TEST(PortChoice, TheListTheRangeAndTheOpenNameFromTheMapAndTheSetting) {
  struct Case {
    std::vector<std::string> map;  // the data of the serial device map, in its value order
    int32_t configured;
    uint32_t baud;
    const char* list;
    bool valid;
    const char* name;  // what the configured port opens as; null: refused
  } cases[] = {
      // Only the three old ports: the list must look exactly as it always did.
      {{"COM1", "COM2", "COM3"}, 2, 115200, "COM1 COM2 COM3", true, "COM2"},
      // An empty or unreadable map, and the unset setting -1 (huge when seen unsigned).
      {{}, -1, 115200, "COM1 COM2 COM3", false, nullptr},
      // The map lists \Device\Serial11 before \Device\Serial2: that is not the list's order.
      {{"COM1", "COM12", "COM3", "COM7"}, 12, 115200, "COM1 COM2 COM3 COM7 COM12", true, "\\\\.\\COM12"},
      // Two drivers naming one port, and a name in lower case: listed once each.
      {{"COM5", "COM5", "com9", "COM2"}, 9, 115200, "COM1 COM2 COM3 COM5 COM9", true, "COM9"},
      // COM10 is the first port that opens only through the device namespace.
      {{"COM10"}, 10, 19200, "COM1 COM2 COM3 COM10", true, "\\\\.\\COM10"},
      {{"COM255"}, 255, 115200, "COM1 COM2 COM3 COM255", true, "\\\\.\\COM255"},
      // Junk in the map is no port, nor is a name cut short or padded.
      {{"COM0", "COM256", "COM1000", "COM05", "COM 6", "LPT1", "COM", "", "COM-4", "COM4x", "\\Device\\Serial0"},
       -1, 115200, "COM1 COM2 COM3", false, nullptr},
      // The data ends at its NUL, and a text without one at its length.
      {{std::string("COM14\0COM99", 11), "COM8"}, 1, 115200, "COM1 COM2 COM3 COM8 COM14", true, "COM1"},
      // A configured port that is missing is still listed, in its place, to be seen.
      {{"COM7"}, 14, 115200, "COM1 COM2 COM3 COM7 COM14", true, "\\\\.\\COM14"},
      // Settings that name no port: never listed, never opened.
      {{"COM7"}, 0, 115200, "COM1 COM2 COM3 COM7", false, nullptr},  // also text, which reads as 0
      {{}, 256, 115200, "COM1 COM2 COM3", false, nullptr},
      // A valid port at a rate the panel does not speak is not opened.
      {{}, 1, 9600, "COM1 COM2 COM3", true, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("ComPort=" + std::to_string(c.configured) + " at " + std::to_string(c.baud));
    EXPECT_EQ(ListText(ListedPorts(FromMap(c.map), c.configured)), c.list);
    EXPECT_EQ(ValidComPort(c.configured), c.valid);
    char name[kPortNameSize] = "x";
    EXPECT_EQ(SerialPortName(static_cast<uint32_t>(c.configured), c.baud, name, sizeof name), c.name != nullptr);
    if (c.name) EXPECT_STREQ(name, c.name);
  }
}

TEST(PortChoice, NamesNeverRunPastASmallBuffer) {
  char name[9];
  EXPECT_FALSE(SerialPortName(12, 115200, name, sizeof name));  // "\\.\COM12" needs 9 bytes and the terminator
  EXPECT_TRUE(SerialPortName(9, 115200, name, 5));              // "COM9" fits exactly
}

}  // namespace

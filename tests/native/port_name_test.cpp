#include <gtest/gtest.h>

#include "serial/serial_port.h"

TEST(SerialPortName, AllowsOnlyTheThreePortsAtTheTwoRates) {
  struct Case {
    uint32_t port, baud;
    const char* name;  // null: refused
  } cases[] = {
      {1, 115200, "COM1"}, {2, 115200, "COM2"}, {3, 19200, "COM3"},
      {0, 115200, nullptr},           // port 0 names no device
      {4, 115200, nullptr},           // COM4 exists on many machines: it must not be opened
      {0xFFFFFFFFu, 115200, nullptr},  // the unset setting -1 seen as unsigned
      {1, 9600, nullptr}, {1, 0, nullptr}, {2, 115201, nullptr},
  };
  for (const Case& c : cases) {
    char name[8] = "x";
    const bool ok = SerialPortName(c.port, c.baud, name, sizeof name);
    EXPECT_EQ(ok, c.name != nullptr) << c.port << " " << c.baud;
    if (c.name) EXPECT_STREQ(name, c.name);
  }
}

TEST(SerialPortName, NeverWritesPastASmallBuffer) {
  char name[4];
  EXPECT_FALSE(SerialPortName(1, 115200, name, sizeof name));  // "COM1" needs 5 bytes
}

// The serial port and the frame codec over a real line: COM1 (the plug-in's end) and
// COM2 (the panel's end) joined by a null-modem pty pair.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "panel_end_win.h"
#include "serial/frame.h"
#include "serial/serial_port_win.h"

namespace {

class SerialLine : public ::testing::Test {
 protected:
  void SetUp() override {
    SerialHandle = OpenSerialPort(1, 115200);
    ASSERT_NE(SerialHandle, nullptr);
    panel = OpenPanelEnd();
    ASSERT_NE(panel, nullptr);
    LinkStats = {};
  }
  void TearDown() override {
    CloseSerialPort(SerialHandle);
    SerialHandle = nullptr;
    if (panel) CloseHandle(panel);
  }
  // What the panel sees of one frame sent with the given payload.
  Bytes SendAndCatch(const Bytes& payload) {
    EXPECT_EQ(SendFrame(payload.data(), static_cast<uint32_t>(payload.size())), 1);
    return PanelRead(panel, payload.size() + 6, 500);
  }
  HANDLE panel = nullptr;
  uint8_t frame[kFrameSize];
};

// Payloads that put every byte value on the line, and rows of the bytes that terminal
// settings and flow control like to eat or rewrite.
std::vector<Bytes> AwkwardPayloads() {
  std::vector<Bytes> payloads;
  Bytes all(250);
  for (int i = 0; i < 250; i++) all[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
  payloads.push_back(all);
  Bytes rest;
  for (int i = 250; i < 256; i++) rest.push_back(static_cast<uint8_t>(i));
  payloads.push_back(rest);
  for (uint8_t b : {0x03, 0x0A, 0x0D, 0x11, 0x13, 0x7F, 0xFF, 0x55, 0xBB}) payloads.push_back(Bytes(250, b));
  payloads.push_back({0x0D, 0x0A, 0x0D, 0x0D, 0x0A, 0x0A, 0x11, 0x13, 0x13, 0x11, 0x04, 0x1A, 0x00});
  return payloads;
}

TEST_F(SerialLine, EveryByteValueCrossesUnchangedTowardsThePanel) {
  uint8_t sequence = FrameSequence;
  for (const Bytes& payload : AwkwardPayloads()) {
    EXPECT_EQ(SendAndCatch(payload), EncodeFrame(payload, sequence++)) << "first byte " << int(payload[0]);
  }
}

TEST_F(SerialLine, EveryByteValueCrossesUnchangedFromThePanel) {
  for (const Bytes& payload : AwkwardPayloads()) {
    PanelWrite(panel, EncodeFrame(payload, 0x13));
    ASSERT_EQ(ReceiveFrame(frame, 500), 1) << "first byte " << int(payload[0]);
    EXPECT_EQ(Bytes(frame + 4, frame + 4 + payload.size()), payload);
    EXPECT_EQ(frame[2], 0x13);
  }
}

TEST_F(SerialLine, EmptyAndFullPayloadsAndTheRefusedOne) {
  const uint8_t none = 0;
  EXPECT_EQ(SendFrame(&none, 0), 1);
  const Bytes empty = PanelRead(panel, 6, 500);
  ASSERT_EQ(empty.size(), 6u);
  EXPECT_EQ(empty[3], 0);
  EXPECT_EQ(empty[4], 0xBB);

  EXPECT_EQ(SendAndCatch(Bytes(250, 0x42)).size(), 256u);

  const uint8_t sequence = FrameSequence;
  const Bytes tooLong(251, 1);
  EXPECT_EQ(SendFrame(tooLong.data(), 251), 0);
  EXPECT_EQ(FrameSequence, sequence);
  EXPECT_TRUE(PanelRead(panel, 1, 100).empty());  // nothing went out
}

TEST_F(SerialLine, BrokenFramesCostOnlyThemselves) {
  PanelWrite(panel, {0x55, 0xAB, 0x00, 0x01});                  // bad start marker
  PanelWrite(panel, {0x55, 0xAA, 0x00, 0x01, 'X', 0xBB, 0xCD});  // bad end marker
  PanelWrite(panel, EncodeFrame({'P', 0, 7}));
  EXPECT_EQ(ReceiveFrame(frame, 200), 0);  // the bad end marker ends this one
  ASSERT_EQ(ReceiveFrame(frame, 200), 1);
  EXPECT_EQ(frame[4], 'P');
  EXPECT_EQ(frame[6], 7);
  EXPECT_EQ(LinkStats.framesRejected, 1u);
  EXPECT_GE(LinkStats.bytesSkipped, 4u);
}

TEST_F(SerialLine, ASilentLineReturnsAfterAboutTheWait) {
  const DWORD start = GetTickCount();
  EXPECT_EQ(ReceiveFrame(frame, 15), 0);
  const DWORD took = GetTickCount() - start;
  EXPECT_LT(took, 1000u);  // bounded: an all-zero read time-out would block for ever
}

TEST(SerialPort, RefusesPortsAndRatesWithoutAnySystemCall) {
  struct Case {
    uint32_t port, baud;
  } cases[] = {{0, 115200}, {256, 115200}, {0xFFFFFFFFu, 115200}, {1, 9600}, {2, 57600}};
  for (const Case& c : cases) {
    SetLastError(12345);  // any call to the system would overwrite it
    EXPECT_EQ(OpenSerialPort(c.port, c.baud), nullptr) << c.port << " " << c.baud;
    EXPECT_EQ(GetLastError(), 12345u) << c.port << " " << c.baud;
  }
}

TEST(SerialPort, AnUnavailablePortGivesNullAndLeavesNothingOpen) {
  // COM3 is mapped to a path that does not exist: it opens, but its state cannot be
  // read. Handle slots are reused lowest first, so a leaked handle would take the slot
  // that the probe frees and the next probe would land elsewhere.
  HANDLE probe = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  CloseHandle(probe);
  EXPECT_EQ(OpenSerialPort(3, 115200), nullptr);
  HANDLE again = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  EXPECT_EQ(again, probe);
  CloseHandle(again);
}

TEST(SerialPort, LineSettingsAndTimeoutsReadBackAfterOpening) {
  HANDLE h = OpenSerialPort(1, 19200);
  ASSERT_NE(h, nullptr);
  DCB dcb = {};
  dcb.DCBlength = sizeof dcb;
  ASSERT_TRUE(GetCommState(h, &dcb));
  EXPECT_EQ(dcb.BaudRate, 19200u);
  EXPECT_EQ(dcb.ByteSize, 8);
  EXPECT_EQ(dcb.Parity, NOPARITY);
  EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
  EXPECT_EQ(dcb.fOutxCtsFlow, 0u);
  EXPECT_EQ(dcb.fOutxDsrFlow, 0u);
  EXPECT_EQ(dcb.fDtrControl, static_cast<DWORD>(DTR_CONTROL_ENABLE));
  EXPECT_EQ(dcb.fDsrSensitivity, 0u);
  EXPECT_EQ(dcb.fOutX, 0u);
  EXPECT_EQ(dcb.fInX, 0u);
  EXPECT_EQ(dcb.fNull, 0u);
  if (!RunningUnderWine()) {
    EXPECT_EQ(dcb.fRtsControl, static_cast<DWORD>(RTS_CONTROL_DISABLE));  // Wine always reports RTS on
  }
  COMMTIMEOUTS t = {};
  ASSERT_TRUE(GetCommTimeouts(h, &t));
  EXPECT_EQ(t.ReadIntervalTimeout, 0u);
  EXPECT_EQ(t.ReadTotalTimeoutMultiplier, 0u);
  EXPECT_EQ(t.ReadTotalTimeoutConstant, 0u);
  EXPECT_EQ(t.WriteTotalTimeoutMultiplier, 0u);
  EXPECT_EQ(t.WriteTotalTimeoutConstant, 300u);
  CloseSerialPort(h);
}

TEST(SerialPort, OpensExclusivelyAndAgainAfterClosing) {
  HANDLE first = OpenSerialPort(2, 115200);
  ASSERT_NE(first, nullptr);
  HANDLE second = OpenSerialPort(2, 115200);
  // Windows refuses the second open of an exclusive port; Wine does not enforce it.
  if (!RunningUnderWine()) {
    EXPECT_EQ(second, nullptr);
  }
  CloseSerialPort(second);
  CloseSerialPort(first);
  HANDLE again = OpenSerialPort(2, 115200);
  EXPECT_NE(again, nullptr);
  CloseSerialPort(again);
  CloseSerialPort(nullptr);  // ignored
}

}  // namespace

namespace {

// A driver keeps the line setting the last program left: every field the wire depends on
// is set over it. fAbortOnError left on made every call fail with 995 after line noise.
TEST(LineSetting, EveryFieldTheWireDependsOnIsSetOverWhatWasLeft) {
  DCB dcb;
  std::memset(&dcb, 0xFF, sizeof dcb);
  ApplyLineSetting(&dcb, 115200);
  const struct {
    const char* field;
    DWORD value;
    DWORD expected;
  } fields[] = {
      {"BaudRate", dcb.BaudRate, 115200},
      {"ByteSize", dcb.ByteSize, 8},
      {"Parity", dcb.Parity, NOPARITY},
      {"StopBits", dcb.StopBits, ONESTOPBIT},
      {"fBinary", dcb.fBinary, 1},
      {"fParity", dcb.fParity, 0},
      {"fOutxCtsFlow", dcb.fOutxCtsFlow, 0},
      {"fOutxDsrFlow", dcb.fOutxDsrFlow, 0},
      {"fDtrControl", dcb.fDtrControl, DTR_CONTROL_ENABLE},
      {"fDsrSensitivity", dcb.fDsrSensitivity, 0},
      {"fOutX", dcb.fOutX, 0},
      {"fInX", dcb.fInX, 0},
      {"fErrorChar", dcb.fErrorChar, 0},
      {"fNull", dcb.fNull, 0},
      {"fRtsControl", dcb.fRtsControl, RTS_CONTROL_DISABLE},
      {"fAbortOnError", dcb.fAbortOnError, 0},
  };
  for (const auto& f : fields) EXPECT_EQ(f.value, f.expected) << f.field;
  EXPECT_NE(dcb.XonChar, dcb.XoffChar);
}

}  // namespace

// The port names of the serial device map, read without windows so that they are
// tested natively.
#include "serial/present_ports.h"

#include <cstring>

#include "base/ascii_text.h"

namespace {

constexpr char kComPrefix[] = "com";
constexpr size_t kComPrefixLength = sizeof kComPrefix - 1;
constexpr size_t kMaxDigits = 3;  // "255"

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool HasComPrefix(const char* text) {
  for (size_t i = 0; i < kComPrefixLength; i++) {
    if (AsciiLower(text[i]) != kComPrefix[i]) return false;
  }
  return true;
}

}  // namespace

uint32_t ComPortNumber(const char* text, size_t length) {
  const size_t n = text == nullptr ? 0 : strnlen(text, length);
  if (n <= kComPrefixLength || n > kComPrefixLength + kMaxDigits || !HasComPrefix(text)) return 0;
  // "COM01" is no name Windows gives a port, and no name that opens COM1.
  if (text[kComPrefixLength] == '0') return 0;
  uint32_t port = 0;
  for (size_t i = kComPrefixLength; i < n; i++) {
    if (!IsDigit(text[i])) return 0;
    port = port * 10 + static_cast<uint32_t>(text[i] - '0');
  }
  return port <= kMaxComPort ? port : 0;
}

void NotePresentPort(PresentPorts* present, const char* text, size_t length) {
  const uint32_t port = ComPortNumber(text, length);
  if (port != 0) present->has[port] = true;
}

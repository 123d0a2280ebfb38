// A reader over a fuzzer's input, front to back. Every field takes the next bytes, and an
// input that has run out reads as zeros, so that any input describes some world and some
// ticks, and a short hand-written seed still means something.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

struct FuzzInput {
  const uint8_t* data;
  size_t size;
  size_t at = 0;

  bool Done() const { return at >= size; }
  uint8_t Byte() { return at < size ? data[at++] : 0; }
  uint32_t Word() {
    const uint32_t high = Byte();
    return high << 8 | Byte();
  }
  uint32_t Long() {
    const uint32_t high = Word();
    return high << 16 | Word();
  }
  // 0 to n - 1 (n at least 1); two bytes when one cannot reach them all.
  uint32_t Below(uint32_t n) { return (n <= 256 ? Byte() : Word()) % n; }
  template <typename T, size_t N>
  T Pick(const T (&choices)[N]) {
    return choices[Byte() % N];
  }
  // n raw bytes (fewer when the input ends).
  std::string Bytes(size_t n) {
    std::string text;
    for (size_t i = 0; i < n && !Done(); i++) text.push_back(static_cast<char>(Byte()));
    return text;
  }
  // The same, written to out, which has room for n; returns how many.
  size_t Bytes(uint8_t* out, size_t n) {
    size_t i = 0;
    for (; i < n && !Done(); i++) out[i] = Byte();
    return i;
  }
};

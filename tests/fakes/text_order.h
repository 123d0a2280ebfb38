// The order of std::less<std::string>, byte by byte as unsigned values and then by length,
// compared without memcmp: the fakes' maps are keyed by long paths that share long
// beginnings, and under a fuzzer every memcmp is also handed to libFuzzer's compare hook,
// which made the look-ups the largest cost of building a world. Eight bytes at a time,
// read high byte first, compare as the bytes do. Transparent, so that a look-up by a
// plug-in's char* makes no string.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the eight-byte compare reads little-endian words");

struct TextOrder {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
      uint64_t x, y;
      std::memcpy(&x, a.data() + i, 8);
      std::memcpy(&y, b.data() + i, 8);
      if (x != y) return __builtin_bswap64(x) < __builtin_bswap64(y);
    }
    for (; i < n; i++) {
      const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
      if (x != y) return x < y;
    }
    return a.size() < b.size();
  }
};

#include "track_pattern.h"

#include <cstring>

namespace {

constexpr int kMaxWidth = 32;

struct Conversion {
  size_t start;  // index of the '%'
  size_t end;    // index just past the 'd'
  int width;     // zero padding, 0 for plain %d
};

// Reads "%d" or "%0Nd" starting at pattern[start]; false for anything else.
bool ReadConversion(const char* pattern, size_t start, Conversion& conversion) {
  size_t i = start + 1;
  int width = 0;
  if (pattern[i] == '0') {
    ++i;
    int digits = 0;
    for (; pattern[i] >= '0' && pattern[i] <= '9' && digits < 2; ++i, ++digits) {
      width = width * 10 + (pattern[i] - '0');
    }
    if (digits == 0 || width < 1 || width > kMaxWidth) return false;
  }
  if (pattern[i] != 'd') return false;
  conversion = Conversion{start, i + 1, width};
  return true;
}

bool FindConversion(const char* pattern, Conversion& conversion) {
  const char* first = std::strchr(pattern, '%');
  if (first == nullptr) return false;
  if (!ReadConversion(pattern, static_cast<size_t>(first - pattern), conversion)) return false;
  return std::strchr(pattern + conversion.end, '%') == nullptr;
}

// Decimal digits of number, zero-padded to width; returns their count.
size_t Digits(int32_t number, int width, char* out) {
  char reversed[16];
  size_t count = 0;
  do {
    reversed[count++] = static_cast<char>('0' + number % 10);
    number /= 10;
  } while (number > 0 && count < sizeof reversed);
  size_t length = 0;
  for (size_t pad = count; pad < static_cast<size_t>(width); ++pad) out[length++] = '0';
  while (count > 0) out[length++] = reversed[--count];
  return length;
}

}  // namespace

bool FormatTrackPath(const char* pattern, int32_t number, char* out, size_t capacity) {
  Conversion conversion{};
  if (number < 0 || !FindConversion(pattern, conversion)) return false;
  char digits[kMaxWidth + 16];
  size_t digitCount = Digits(number, conversion.width, digits);
  size_t tail = std::strlen(pattern + conversion.end);
  size_t total = conversion.start + digitCount + tail;
  if (total >= capacity) return false;
  std::memcpy(out, pattern, conversion.start);
  std::memcpy(out + conversion.start, digits, digitCount);
  std::memcpy(out + conversion.start + digitCount, pattern + conversion.end, tail + 1);
  return true;
}

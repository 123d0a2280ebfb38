// The fakes' copy of a text into a caller's buffer: what snprintf(destination, size, "%s",
// text) does, without the sanitizer's format check on every call, which a fuzzer's folder
// scans make thousands of times an input.
#pragma once
#include <cstddef>
#include <cstring>

// Copies as much of text as fits, always terminated when size is not 0; returns text's
// length, so that a result of size or more says the copy was cut.
inline size_t CopyText(char* destination, size_t size, const char* text) {
  const size_t length = std::strlen(text);
  if (size == 0) return length;
  const size_t n = length < size - 1 ? length : size - 1;
  std::memcpy(destination, text, n);
  destination[n] = '\0';
  return length;
}

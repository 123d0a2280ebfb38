#include "base/bounded_text.h"

void CopyBounded(char* destination, size_t size, const char* source, size_t limit) {
  size_t n = 0;
  for (; n + 1 < size && n < limit && source[n] != '\0'; n++) destination[n] = source[n];
  destination[n] = '\0';
}

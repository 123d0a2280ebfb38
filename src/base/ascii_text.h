// Small text rules that several subsystems share: ASCII case, and reading a decimal
// number the way the C library's atol does, without its overflow.
#pragma once
#include <cstdint>

// A to Z become a to z; every other byte stays as it is, whatever the code page.
char AsciiLower(char c);

// Equal when the texts differ only in ASCII letter case.
bool EqualIgnoringAsciiCase(const char* a, const char* b);

// Leading blanks, an optional sign and the leading digits, 0 when there are none; held
// at the int32 limits instead of overflowing.
int32_t ParseDecimal(const char* text);

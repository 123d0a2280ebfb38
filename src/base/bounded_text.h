// Copying text into a fixed buffer, for every subsystem that keeps text in one: the
// settings' folders, the dialog's fields, the handlers' list slots.
#pragma once
#include <cstddef>
#include <cstdint>

// Copies at most limit characters of source, and never more than size - 1: a longer
// text is cut, never written past the destination, which always ends terminated.
void CopyBounded(char* destination, size_t size, const char* source, size_t limit = SIZE_MAX);

// "playlist fill": builds entry paths from a pattern with one %d or %0Nd.
#pragma once
#include <cstddef>
#include <cstdint>

// False when the pattern is not exactly one %d / %0Nd (N 1..32), or the result does
// not fit in capacity. number must not be negative.
bool FormatTrackPath(const char* pattern, int32_t number, char* out, size_t capacity);

// One "L" data chunk: 244 payload bytes, "D", two zeros, the used length, and the titles
// from byte 4 on, packed back to back, each at most 39 characters and a NUL.
//
// A new title is started only while more than 40 of the 240 title bytes are free, so no
// title ever crosses byte 243: a chunk holds 1 to 200 titles and uses 1 to 239 bytes.
// The panel counts the titles by their NULs within the used length.
#pragma once
#include <cstdint>

constexpr uint32_t kChunkSize = 244;
constexpr uint32_t kChunkTitlesAt = 4;
constexpr uint32_t kChunkTitleRoom = kChunkSize - kChunkTitlesAt;  // 240
constexpr uint32_t kChunkTitleField = 40;                          // 39 characters and the NUL
static_assert(kChunkSize <= 250, "a chunk travels as one frame");

// Packs titles from table[*cursor] on, for as long as there is room and *cursor is below
// count, advancing *cursor past each; the caller makes sure *cursor < count. Returns the
// used length, which is also chunk byte 3.
uint32_t PackListChunk(uint8_t (&chunk)[kChunkSize], const char* const* table, uint32_t count, uint32_t* cursor);

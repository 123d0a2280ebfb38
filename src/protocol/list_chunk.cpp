// Packing titles into an "L" data chunk.
#include "protocol/list_chunk.h"

#include <cstring>

uint32_t PackListChunk(uint8_t (&chunk)[kChunkSize], const char* const* table, uint32_t count, uint32_t* cursor) {
  std::memset(chunk, 0, sizeof chunk);
  chunk[0] = 'D';
  uint32_t used = 0;
  while (kChunkTitleRoom - used > kChunkTitleField && *cursor < count) {
    const char* title = table[*cursor];
    const size_t length = strnlen(title, kChunkTitleField - 1);
    std::memcpy(chunk + kChunkTitlesAt + used, title, length);  // the NUL is already there
    ++*cursor;
    used += static_cast<uint32_t>(length) + 1;
    chunk[3] = static_cast<uint8_t>(used);
  }
  return used;
}

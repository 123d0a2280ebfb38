// The checked fields of a command.
#include "protocol/command_reader.h"

#include <cstring>

#include "browse/slot_tables.h"  // kMaxListEntries

uint32_t ListBound(int64_t count) {
  if (count <= 0) return 0;
  return count < kMaxListEntries ? static_cast<uint32_t>(count) : kMaxListEntries;
}

uint32_t ReadListIndex(CommandReader* reader, int64_t count, uint32_t offset) {
  const uint32_t index = CommandIndexAt(reader->command, offset);
  if (index < ListBound(count)) return index;
  reader->failed = true;
  return 0;
}

void ReadTextField(const CommandReader& reader, uint32_t offset, char* text, uint32_t size) {
  if (size == 0) return;
  std::memcpy(text, reader.command + offset, size - 1);
  text[size - 1] = '\0';
}

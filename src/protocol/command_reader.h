// Reading the fields of a command from the panel, each checked against what it names.
//
// A reader fails, and stays failed, at the first field that names nothing: a handler
// reads all its fields, tests `failed` once and either acts or ignores the command.
// Every index and text the panel sends passes through here before it is used.
#pragma once
#include <cstdint>

#include "protocol/command.h"

struct CommandReader {
  const uint8_t* command;  // 250 readable bytes, zero past what arrived
  bool failed;
};

inline CommandReader ReadCommand(const uint8_t* command) { return {command, false}; }

// A list length from the player or an owner's count as a bound: 0 to 500.
uint32_t ListBound(int64_t count);

// The 16-bit index at offset (3, or 5 for a second index) when it names one of the first
// count entries of a list: below count and below 500. Otherwise the reader fails and the
// answer is 0.
uint32_t ReadListIndex(CommandReader* reader, int64_t count, uint32_t offset = kCommandIndex);

// The text field of size bytes at offset into text[size], always terminated: a NUL inside
// the field ends it, a field without one is cut to size - 1 characters.
void ReadTextField(const CommandReader& reader, uint32_t offset, char* text, uint32_t size);

// The layout of a command payload from the panel:
//   0 letter, 1 carried back unchanged, 2 sub-command, 3-4 a 16-bit index (high byte
//   first), 5 onward command-specific. The receive buffer is zeroed before every
//   receive, so bytes past a short payload read 0 (a lone "P" is "P" sub-command 0).
#pragma once
#include <cstdint>

constexpr uint32_t kCommandLetter = 0;
constexpr uint32_t kCommandSub = 2;
constexpr uint32_t kCommandIndex = 3;

inline uint8_t CommandLetter(const uint8_t* command) { return command[kCommandLetter]; }
inline uint8_t SubCommand(const uint8_t* command) { return command[kCommandSub]; }

// The 16-bit index at `offset` (3 for the usual index, 5 for a second one), high byte first.
inline uint32_t CommandIndexAt(const uint8_t* command, uint32_t offset) {
  return static_cast<uint32_t>(command[offset]) << 8 | command[offset + 1];
}
inline uint32_t CommandIndex(const uint8_t* command) { return CommandIndexAt(command, kCommandIndex); }

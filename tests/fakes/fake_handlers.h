// Command handlers that record what the dispatch handed them; a test may make one post
// a reply.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

struct Dispatched {
  uint8_t letter;
  std::vector<uint8_t> payload;  // the first 16 bytes of the command
};

extern std::vector<Dispatched> HandledCommands;
extern std::function<void(const uint8_t*)> OnHandle;  // runs inside every fake handler

void ResetFakeHandlers();

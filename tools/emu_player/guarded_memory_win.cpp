// Guarded blocks on pages of their own, and the exception handler that catches a read of
// a released one.
//
// The table changes only on the main thread, inside the answer to a host message, while
// the plug-in's thread waits for that answer; the handler reads it on the plug-in's
// thread, which can touch a block only between its messages.
#include <windows.h>

#include <cstring>

#include "guarded_memory.h"

namespace {

constexpr size_t kMaxBlocks = 1024;  // past this, the oldest released block is given back

struct Block {
  void* base;
  size_t size;
  BlockState state;
};

Block Blocks[kMaxBlocks] = {};
size_t BlockCount = 0;
volatile LONG UseAfterRelease = 0;
bool HandlerInstalled = false;

Block* FindBlock(const void* address) {
  const auto at = reinterpret_cast<uintptr_t>(address);
  for (size_t i = 0; i < BlockCount; i++) {
    const auto base = reinterpret_cast<uintptr_t>(Blocks[i].base);
    if (at >= base && at < base + Blocks[i].size) return &Blocks[i];
  }
  return nullptr;
}

LONG CALLBACK CatchReleasedRead(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD* record = info->ExceptionRecord;
  if (record->ExceptionCode != EXCEPTION_ACCESS_VIOLATION || record->NumberParameters < 2) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  Block* block = FindBlock(reinterpret_cast<const void*>(record->ExceptionInformation[1]));
  if (block == nullptr || block->state != BlockState::Released) return EXCEPTION_CONTINUE_SEARCH;
  InterlockedIncrement(&UseAfterRelease);
  DWORD old = 0;
  VirtualProtect(block->base, block->size, PAGE_READONLY, &old);
  return EXCEPTION_CONTINUE_EXECUTION;
}

// What a read after release finds: a null first word, so that a list read from there is
// empty, and the block's own address in every other word, so that a stale pointer taken
// from it leads back into the block, whose first bytes are zero: an empty text. The
// plug-in reads nonsense but does not crash, and the caught read is counted.
void Poison(const Block& block) {
  auto* words = static_cast<uintptr_t*>(block.base);
  const size_t count = block.size / sizeof(uintptr_t);
  std::memset(block.base, 0, block.size);
  for (size_t i = 1; i < count; i++) words[i] = reinterpret_cast<uintptr_t>(block.base);
}

// A free row of the table: a new one, or the oldest released block, given back first.
Block* FreeRow() {
  if (BlockCount < kMaxBlocks) return &Blocks[BlockCount++];
  for (Block& block : Blocks) {
    if (block.state != BlockState::Released) continue;
    VirtualFree(block.base, 0, MEM_RELEASE);
    return &block;
  }
  return nullptr;
}

}  // namespace

void* GuardedAllocate(size_t size) {
  if (!HandlerInstalled) HandlerInstalled = AddVectoredExceptionHandler(1, CatchReleasedRead) != nullptr;
  Block* row = FreeRow();
  if (row == nullptr || size == 0) return nullptr;
  void* base = VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  *row = Block{base, size, base != nullptr ? BlockState::Live : BlockState::Released};
  return base;
}

BlockState GuardedRelease(void* block) {
  Block* found = block != nullptr ? FindBlock(block) : nullptr;
  if (found == nullptr || found->base != block) return BlockState::Unknown;
  const BlockState before = found->state;
  if (before == BlockState::Live) {
    Poison(*found);
    DWORD old = 0;
    VirtualProtect(found->base, found->size, PAGE_NOACCESS, &old);
    found->state = BlockState::Released;
  }
  return before;
}

uint32_t GuardedUseAfterRelease() { return static_cast<uint32_t>(InterlockedCompareExchange(&UseAfterRelease, 0, 0)); }

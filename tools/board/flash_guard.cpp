#include "flash_guard.h"

namespace {

// FNV-1a: any change of a byte changes the sum, and it costs little for 31 KB.
uint32_t PageSum(const uint8_t* page) {
  uint32_t sum = 2166136261u;
  for (uint32_t i = 0; i < kFlashPageBytes; i++) sum = (sum ^ page[i]) * 16777619u;
  return sum;
}

}  // namespace

void FlashGuard::Take(const uint8_t* flash, uint32_t bytes) {
  sums_.assign(bytes / kFlashPageBytes, 0);
  for (uint32_t p = 0; p < sums_.size(); p++) sums_[p] = PageSum(flash + p * kFlashPageBytes);
}

std::vector<uint32_t> FlashGuard::Changed(const uint8_t* flash) {
  std::vector<uint32_t> changed;
  for (uint32_t p = 0; p < sums_.size(); p++) {
    const uint32_t sum = PageSum(flash + p * kFlashPageBytes);
    if (sum == sums_[p]) continue;
    sums_[p] = sum;
    changed.push_back(p);
  }
  return changed;
}

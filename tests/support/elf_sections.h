// The section sizes of an ELF file (32-bit, little-endian, as avr-gcc makes them), for the
// firmware's budgets: flash is .text and .data, static RAM .data, .bss and .noinit.
#pragma once
#include <cstddef>
#include <map>
#include <string>

// Sizes by section name; empty when the file is missing or no such ELF.
std::map<std::string, size_t> ElfSectionSizes(const std::string& path);

struct FirmwareSizes {
  size_t flash = 0;
  size_t staticRam = 0;
};
FirmwareSizes FirmwareSizesOf(const std::string& elfPath);

constexpr size_t kFlashBudget = 30 * 1024;  // the bootloader takes the rest of the 32 KB
constexpr size_t kStaticRamBudget = 1400;   // leaving 600 of the 2,048 bytes for the stack
constexpr size_t kRamBytes = 2048;

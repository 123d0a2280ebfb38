// The firmware's sizes, read from the ELF the AVR build made, against the Uno's budgets:
// 30 KB of flash (the bootloader needs the rest of the 32) and 1,400 bytes of static RAM,
// leaving 600 of the 2,048 for the stack.
#include <elf.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr size_t kFlashBudget = 30 * 1024;
constexpr size_t kStaticRamBudget = 1400;

// Section sizes by name, from the section headers of a 32-bit little-endian ELF.
std::map<std::string, size_t> SectionSizes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<char> elf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::map<std::string, size_t> sizes;
  if (elf.size() < sizeof(Elf32_Ehdr) || std::memcmp(elf.data(), ELFMAG, SELFMAG) != 0) return sizes;
  Elf32_Ehdr header;
  std::memcpy(&header, elf.data(), sizeof header);
  auto section = [&](size_t i) {
    Elf32_Shdr s = {};
    const size_t at = header.e_shoff + i * header.e_shentsize;
    if (at + sizeof s <= elf.size()) std::memcpy(&s, elf.data() + at, sizeof s);
    return s;
  };
  const Elf32_Shdr names = section(header.e_shstrndx);
  for (size_t i = 0; i < header.e_shnum; i++) {
    const Elf32_Shdr s = section(i);
    if (names.sh_offset + s.sh_name < elf.size()) sizes[elf.data() + names.sh_offset + s.sh_name] = s.sh_size;
  }
  return sizes;
}

TEST(FirmwareBudget, FlashAndStaticRamFitTheUno) {
  auto sizes = SectionSizes(QB_PANEL_ELF);
  ASSERT_GT(sizes[".text"], 0u) << "no firmware at " << QB_PANEL_ELF;
  const size_t flash = sizes[".text"] + sizes[".data"];
  const size_t ram = sizes[".data"] + sizes[".bss"] + sizes[".noinit"];
  std::printf("firmware: flash %zu of %zu bytes, static RAM %zu of %zu (stack room %zu)\n", flash, kFlashBudget, ram,
              kStaticRamBudget, 2048 - ram);
  EXPECT_LE(flash, kFlashBudget);
  EXPECT_LE(ram, kStaticRamBudget);
}

}  // namespace

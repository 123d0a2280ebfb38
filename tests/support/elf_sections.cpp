#include "elf_sections.h"

#include <elf.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

std::map<std::string, size_t> ElfSectionSizes(const std::string& path) {
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
    const size_t name = names.sh_offset + s.sh_name;
    if (name < elf.size() && std::memchr(elf.data() + name, '\0', elf.size() - name) != nullptr) {
      sizes[elf.data() + name] = s.sh_size;
    }
  }
  return sizes;
}

FirmwareSizes FirmwareSizesOf(const std::string& elfPath) {
  auto sizes = ElfSectionSizes(elfPath);
  return FirmwareSizes{sizes[".text"] + sizes[".data"], sizes[".data"] + sizes[".bss"] + sizes[".noinit"]};
}

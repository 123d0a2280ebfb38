// Reading a built PE file by hand: the headers, the data directories and the sections,
// enough to check what Windows and the player will see of the file.
#pragma once
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

struct PeImage {
  std::vector<uint8_t> bytes;
  uint32_t coff = 0;      // offset of the COFF header
  uint32_t optional = 0;  // offset of the optional header

  uint16_t U16(uint32_t at) const { return static_cast<uint16_t>(bytes.at(at) | bytes.at(at + 1) << 8); }
  uint32_t U32(uint32_t at) const { return U16(at) | static_cast<uint32_t>(U16(at + 2)) << 16; }

  // File offset of a relative virtual address, through the section table.
  uint32_t Offset(uint32_t rva) const {
    const uint32_t sections = optional + U16(coff + 16);
    for (uint32_t i = 0; i < U16(coff + 2); i++) {
      const uint32_t s = sections + 40 * i;
      const uint32_t va = U32(s + 12), size = std::max(U32(s + 8), U32(s + 16));
      if (rva >= va && rva < va + size) return rva - va + U32(s + 20);
    }
    throw std::runtime_error("rva outside every section");
  }
  std::string Text(uint32_t rva) const { return reinterpret_cast<const char*>(&bytes.at(Offset(rva))); }
  // The RVA of data directory index (0 exports, 1 imports, 2 resources).
  uint32_t Directory(int index) const { return U32(optional + 96 + 8 * static_cast<uint32_t>(index)); }
};

// The file at path; no bytes when it cannot be read or is too short to be a PE file.
inline PeImage LoadPe(const char* path) {
  std::ifstream in(path, std::ios::binary);
  PeImage pe;
  pe.bytes.assign(std::istreambuf_iterator<char>(in), {});
  if (pe.bytes.size() < 0x100) {
    pe.bytes.clear();
    return pe;
  }
  pe.coff = pe.U32(0x3C) + 4;
  pe.optional = pe.coff + 20;
  return pe;
}

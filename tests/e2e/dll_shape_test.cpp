// The built file itself: a PE32 DLL for the 80386 with one undecorated export and only
// Windows system DLLs among its imports, so it can be dropped into a player as it is.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

struct Pe {
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
  uint32_t Directory(int index) const { return U32(optional + 96 + 8 * static_cast<uint32_t>(index)); }
};

Pe Load() {
  std::ifstream in(QB_DLL, std::ios::binary);
  Pe pe;
  pe.bytes.assign(std::istreambuf_iterator<char>(in), {});
  if (pe.bytes.size() < 0x100) return pe;
  pe.coff = pe.U32(0x3C) + 4;
  pe.optional = pe.coff + 20;
  return pe;
}

TEST(DllShape, IsAPe32DllForThe80386) {
  const Pe pe = Load();
  ASSERT_GT(pe.bytes.size(), 0x100u) << QB_DLL;
  ASSERT_EQ(std::memcmp(&pe.bytes[pe.coff - 4], "PE\0\0", 4), 0);
  EXPECT_EQ(pe.U16(pe.coff), 0x14C);                    // Intel 80386
  EXPECT_TRUE(pe.U16(pe.coff + 18) & 0x2000);           // a DLL
  EXPECT_EQ(pe.U16(pe.optional), 0x10B);                // PE32, not PE32+
}

TEST(DllShape, ExportsExactlyTheOneUndecoratedName) {
  const Pe pe = Load();
  ASSERT_GT(pe.bytes.size(), 0x100u);
  const uint32_t exports = pe.Offset(pe.Directory(0));
  const uint32_t count = pe.U32(exports + 24);
  ASSERT_EQ(count, 1u);
  const uint32_t names = pe.Offset(pe.U32(exports + 32));
  EXPECT_EQ(pe.Text(pe.U32(names)), "winampGetMediaLibraryPlugin");
}

TEST(DllShape, ImportsOnlyWindowsSystemDlls) {
  const Pe pe = Load();
  ASSERT_GT(pe.bytes.size(), 0x100u);
  const std::set<std::string> system = {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll",
                                        "winmm.dll",    "shell32.dll", "shlwapi.dll", "ole32.dll",
                                        "advapi32.dll", "comdlg32.dll"};
  std::vector<std::string> imported;
  for (uint32_t d = pe.Offset(pe.Directory(1)); pe.U32(d + 12) != 0; d += 20) {
    std::string name = pe.Text(pe.U32(d + 12));
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    imported.push_back(name);
  }
  ASSERT_FALSE(imported.empty());
  for (const std::string& name : imported) {
    EXPECT_TRUE(system.count(name)) << name << " would have to ship beside the plug-in";
  }
}

}  // namespace

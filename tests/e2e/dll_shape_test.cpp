// The built file itself: a PE32 DLL for the 80386 with one undecorated export and only
// Windows system DLLs among its imports, so it can be dropped into a player as it is.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "pe_image.h"

namespace {

PeImage Load() { return LoadPe(QB_DLL); }

TEST(DllShape, IsAPe32DllForThe80386) {
  const PeImage pe = Load();
  ASSERT_GT(pe.bytes.size(), 0x100u) << QB_DLL;
  ASSERT_EQ(std::memcmp(&pe.bytes[pe.coff - 4], "PE\0\0", 4), 0);
  EXPECT_EQ(pe.U16(pe.coff), 0x14C);                    // Intel 80386
  EXPECT_TRUE(pe.U16(pe.coff + 18) & 0x2000);           // a DLL
  EXPECT_EQ(pe.U16(pe.optional), 0x10B);                // PE32, not PE32+
}

TEST(DllShape, ExportsExactlyTheOneUndecoratedName) {
  const PeImage pe = Load();
  ASSERT_GT(pe.bytes.size(), 0x100u);
  const uint32_t exports = pe.Offset(pe.Directory(0));
  const uint32_t count = pe.U32(exports + 24);
  ASSERT_EQ(count, 1u);
  const uint32_t names = pe.Offset(pe.U32(exports + 32));
  EXPECT_EQ(pe.Text(pe.U32(names)), "winampGetMediaLibraryPlugin");
}

TEST(DllShape, ImportsOnlyWindowsSystemDlls) {
  const PeImage pe = Load();
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

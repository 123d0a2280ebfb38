// The release: scripts/release.sh makes the zip into a temporary folder, the zip holds
// exactly the built DLL, the install note, the protocol reference, the built panel
// firmware with its note, the firmware's Arduino sketch and the licence, and the DLL's
// version resource says the version that VERSION says. Beside the zip, the installer, whose
// version resource says it too (what it installs is tested under Wine, installer_e2e_test).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <unistd.h>
#include <string>

#include "pe_image.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

uint32_t Crc32(const std::vector<uint8_t>& bytes) {
  uint32_t crc = 0xFFFFFFFF;
  for (uint8_t b : bytes) {
    crc ^= b;
    for (int k = 0; k < 8; k++) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
  }
  return ~crc;
}

// Names and CRCs of a zip's entries, from its central directory.
std::map<std::string, uint32_t> ZipEntries(const fs::path& path) {
  PeImage zip;  // only for its little-endian readers
  zip.bytes = ReadFile(path);
  std::map<std::string, uint32_t> entries;
  if (zip.bytes.size() < 22) return entries;
  uint32_t end = static_cast<uint32_t>(zip.bytes.size() - 22);
  while (end > 0 && zip.U32(end) != 0x06054B50) end--;
  uint32_t at = zip.U32(end + 16);
  for (uint16_t i = 0; i < zip.U16(end + 10) && zip.U32(at) == 0x02014B50; i++) {
    const uint16_t nameLength = zip.U16(at + 28);
    const std::string name(zip.bytes.begin() + at + 46, zip.bytes.begin() + at + 46 + nameLength);
    entries[name] = zip.U32(at + 16);
    at += 46 + nameLength + zip.U16(at + 30) + zip.U16(at + 32);
  }
  return entries;
}

// The version resource's fixed file version ("1.0.0.0") and its strings.
struct VersionInfo {
  std::string fixed;
  std::map<std::string, std::string> strings;
};

uint32_t Align4(uint32_t at) { return (at + 3) & ~3u; }

std::string Utf16(const PeImage& pe, uint32_t at, uint32_t* after) {
  std::string text;
  for (; pe.U16(at) != 0; at += 2) text += static_cast<char>(pe.U16(at));
  *after = at + 2;
  return text;
}

// One block of VS_VERSIONINFO and its children: length, value length, type, key, value.
void ReadVersionBlock(const PeImage& pe, uint32_t at, VersionInfo* info) {
  const uint32_t end = at + pe.U16(at);
  const uint16_t valueLength = pe.U16(at + 2);
  const bool text = pe.U16(at + 4) == 1;
  uint32_t value = 0;
  const std::string key = Utf16(pe, at + 6, &value);
  value = Align4(value);
  if (key == "VS_VERSION_INFO" && pe.U32(value) == 0xFEEF04BD) {
    const uint32_t ms = pe.U32(value + 8), ls = pe.U32(value + 12);
    info->fixed = std::to_string(ms >> 16) + "." + std::to_string(ms & 0xFFFF) + "." + std::to_string(ls >> 16) +
                  "." + std::to_string(ls & 0xFFFF);
  }
  uint32_t after = value;
  if (text && valueLength > 0) info->strings[key] = Utf16(pe, value, &after);
  for (uint32_t child = Align4(text ? value + 2u * valueLength : value + valueLength); child < end;) {
    const uint16_t length = pe.U16(child);
    if (length == 0) break;
    ReadVersionBlock(pe, child, info);
    child = Align4(child + length);
  }
}

// The first resource of type RT_VERSION (16), through the three levels of the resource
// directory: type, name, language.
VersionInfo ReadVersionInfo(const PeImage& pe) {
  const uint32_t root = pe.Offset(pe.Directory(2));
  auto find = [&](uint32_t directory, uint32_t id) -> uint32_t {
    const uint32_t count = pe.U16(directory + 12) + pe.U16(directory + 14);
    for (uint32_t i = 0; i < count; i++) {
      const uint32_t entry = directory + 16 + 8 * i;
      if (id == 0 || pe.U32(entry) == id) return pe.U32(entry + 4) & 0x7FFFFFFF;
    }
    throw std::runtime_error("no version resource");
  };
  const uint32_t names = root + find(root, 16);
  const uint32_t languages = root + find(names, 0);
  const uint32_t data = root + find(languages, 0);
  VersionInfo info;
  ReadVersionBlock(pe, pe.Offset(pe.U32(data)), &info);
  return info;
}

TEST(Release, ZipHoldsTheBuiltFilesAndTheDllCarriesTheVersion) {
  const fs::path source = QB_SOURCE_DIR;
  std::ifstream versionFile(source / "VERSION");
  std::string version;
  std::getline(versionFile, version);
  ASSERT_FALSE(version.empty());

  const fs::path dist = fs::temp_directory_path() / ("qb-release-" + std::to_string(getpid()));
  const std::string command = "QB_CROSS_DIR='" QB_CROSS_DIR "' QB_AVR_DIR='" QB_AVR_DIR "' QB_DIST_DIR='" +
                              dist.string() + "' '" +
                              (source / "scripts/release.sh").string() + "' >/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  const std::map<std::string, uint32_t> entries = ZipEntries(dist / ("quillbox-" + version + ".zip"));
  const fs::path setup = dist / ("quillbox-" + version + "-setup.exe");
  ASSERT_TRUE(fs::exists(setup));
  VersionInfo setupInfo = ReadVersionInfo(LoadPe(setup.c_str()));
  fs::remove_all(dist);
  EXPECT_EQ(setupInfo.fixed, version + ".0");
  EXPECT_EQ(setupInfo.strings["ProductVersion"], version);
  EXPECT_EQ(setupInfo.strings["ProductName"], "Quillbox");

  const fs::path dll = fs::path(QB_CROSS_DIR) / "player/Plugins/ml_quillbox.dll";
  const std::string folder = "quillbox-" + version + "/";
  std::map<std::string, uint32_t> expected = {
      {folder, 0},
      {folder + "ml_quillbox.dll", Crc32(ReadFile(dll))},
      {folder + "INSTALL.txt", Crc32(ReadFile(source / "docs/install.txt"))},
      {folder + "protocol.md", Crc32(ReadFile(source / "docs/protocol.md"))},
      {folder + "LICENSE", Crc32(ReadFile(source / "LICENSE"))},
      {folder + "quillbox-panel-" + version + ".hex", Crc32(ReadFile(fs::path(QB_AVR_DIR) / "quillbox-panel.hex"))},
      {folder + "PANEL.txt", Crc32(ReadFile(source / "docs/panel.txt"))},
      {folder + "quillbox_panel/", 0},
  };
  // The sketch as the Arduino IDE opens it: every folder and file of it, nothing else.
  const fs::path sketch = source / "firmware/quillbox_panel";
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(sketch)) {
    const std::string name = folder + "quillbox_panel/" + fs::relative(entry.path(), sketch).generic_string();
    if (entry.is_directory()) expected[name + "/"] = 0;
    else expected[name] = Crc32(ReadFile(entry.path()));
  }
  EXPECT_EQ(entries, expected) << "the zip holds these files, byte for byte";

  VersionInfo info = ReadVersionInfo(LoadPe(dll.c_str()));
  EXPECT_EQ(info.fixed, version + ".0");
  const std::map<std::string, std::string> strings = {
      {"FileVersion", version},
      {"ProductVersion", version},
      {"ProductName", "Quillbox"},
      {"OriginalFilename", "ml_quillbox.dll"},
      {"LegalCopyright", "Copyright (c) 2026 Quillbox developers"},
  };
  for (const auto& [key, value] : strings) EXPECT_EQ(info.strings[key], value) << key;
  EXPECT_FALSE(info.strings["FileDescription"].empty());
}

}  // namespace

// plugin.ini on a real disk under Wine: what the narrow file calls take, and how the new
// content replaces the old.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "config/settings.h"
#include "config/settings_file.h"

namespace {

std::string ReadAll(const std::string& path) {
  std::string content;
  if (FILE* in = std::fopen(path.c_str(), "rb")) {
    char chunk[512];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) content.append(chunk, n);
    std::fclose(in);
  }
  return content;
}

// Which file the name reaches: a replaced file is another file than the old one, a
// file rewritten in place the same.
ULONGLONG FileIdOf(const std::string& path) {
  const HANDLE handle = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  BY_HANDLE_FILE_INFORMATION info = {};
  const bool ok = handle != INVALID_HANDLE_VALUE && GetFileInformationByHandle(handle, &info);
  if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  return ok ? (ULONGLONG{info.nFileIndexHigh} << 32) | info.nFileIndexLow : 0;
}

// The final path comes with the \\?\ prefix, which the narrow calls count against
// MAX_PATH too: a plugin.ini of 252 characters, with ".qbnew" 258, fits without it and
// not with it, and was rewritten in place, unsafely, with it.
TEST(SettingsFileOnDisk, APluginIniOf252CharactersIsReplacedThroughItsTemporaryFile) {
  char temp[MAX_PATH];
  ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
  std::string folder = std::string(temp) + "qb_long_" + std::to_string(GetCurrentProcessId());
  const std::string name = "\\plugin.ini";
  std::string path;
  std::vector<std::string> made;
  while (folder.size() + name.size() < 252) {
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) << folder;
    made.push_back(folder);
    const size_t room = 252 - name.size() - folder.size() - 1;
    folder.push_back('\\');
    folder.append(room < 60 ? room : 60, 'd');
  }
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
  made.push_back(folder);
  path = folder + name;
  ASSERT_EQ(path.size(), 252u);
  const std::string others = "[Other]\r\nx=1\r\n";
  const auto section = [](const char* port) {
    return std::string("[Quillbox]\r\nComPort=") + port + "\r\nLibDir=C:\\M\\\r\nPlSaveDir=C:\\M\\P\\\r\nDumpDir=C:\\M\\D\\\r\n";
  };
  if (FILE* out = std::fopen(path.c_str(), "wb")) {
    std::fputs((others + section("1")).c_str(), out);
    std::fclose(out);
  }
  const ULONGLONG before = FileIdOf(path);
  ComPort = 2;
  std::snprintf(CurrentFolder, sizeof CurrentFolder, "C:\\M\\");
  std::snprintf(PlaylistDir, sizeof PlaylistDir, "C:\\M\\P\\");
  std::snprintf(DumpDir, sizeof DumpDir, "C:\\M\\D\\");
  EXPECT_EQ(WriteSettingsFile(path.c_str()), 0);
  EXPECT_EQ(ReadAll(path), others + section("2"));
  EXPECT_NE(FileIdOf(path), before) << "rewritten in place";
  EXPECT_EQ(GetFileAttributesA((path + ".qbnew").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesA((path + ".qbold").c_str()), INVALID_FILE_ATTRIBUTES) << "the backup stays";
  DeleteFileA(path.c_str());
  for (auto it = made.rbegin(); it != made.rend(); ++it) RemoveDirectoryA(it->c_str());
}

}  // namespace

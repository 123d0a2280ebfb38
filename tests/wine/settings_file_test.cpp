// plugin.ini on a real disk under Wine: what the narrow file calls take, and how the new
// content replaces the old.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "config/settings.h"
#include "config/settings_file.h"
#include "files/file_system.h"

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

void WriteAll(const std::string& path, const std::string& content) {
  if (FILE* out = std::fopen(path.c_str(), "wb")) {
    std::fwrite(content.data(), 1, content.size(), out);
    std::fclose(out);
  }
}

std::string TempName(const char* name) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  return std::string(temp) + name + std::to_string(GetCurrentProcessId());
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

// Run only as the child of the next test: grows the file for a rewrite in place, then
// dies as a crash would, before anything is written.
TEST(SettingsFileOnDisk, DISABLED_GrowForARewriteThenCrash) {
  const char* path = std::getenv("QB_CRASH_FILE");
  ASSERT_NE(path, nullptr);
  OutputFile* file = CreateFileFor(path, kRewriteExisting);
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(ReserveFileSize(file, 64), 1);
  TerminateProcess(GetCurrentProcess(), 7);
}

// A crash between growing the file and writing it leaves the old text and blank lines:
// zeros there stayed in the text, copied on by every later save.
TEST(SettingsFileOnDisk, ACrashAfterGrowingTheFileLeavesOnlyBlankLines) {
  const std::string path = TempName("qb_grown_");
  const std::string old = "[A]\r\na=1\r\n";
  WriteAll(path, old);
  char self[MAX_PATH];
  ASSERT_GT(GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
  std::string command = std::string("\"") + self + "\" --gtest_also_run_disabled_tests" +
                        " --gtest_filter=SettingsFileOnDisk.DISABLED_GrowForARewriteThenCrash";
  SetEnvironmentVariableA("QB_CRASH_FILE", path.c_str());
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child = {};
  ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child));
  const bool ended = WaitForSingleObject(child.hProcess, 20000) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(child.hProcess, 1);
  DWORD code = 0;
  GetExitCodeProcess(child.hProcess, &code);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  SetEnvironmentVariableA("QB_CRASH_FILE", nullptr);
  EXPECT_TRUE(ended);
  EXPECT_EQ(code, 7u) << "the child did not reach its crash";
  EXPECT_EQ(ReadAll(path), old + std::string(64 - old.size(), '\n'));
  DeleteFileA(path.c_str());
}

// CreateFileA as the file layer reaches it, through the program's import table, so that a
// test can see the flags it is given.
using CreateFileAFunction = HANDLE(WINAPI*)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
extern "C" CreateFileAFunction ImportedCreateFileA __asm__("__imp__CreateFileA@28");
CreateFileAFunction RealCreateFileA;
DWORD CreateNewFlags;

HANDLE WINAPI RecordingCreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                   DWORD disposition, DWORD flags, HANDLE model) {
  if (disposition == CREATE_NEW) CreateNewFlags = flags;
  return RealCreateFileA(name, access, share, security, disposition, flags, model);
}

// Windows makes a link's missing target through CREATE_NEW unless the name itself is
// opened (FILE_FLAG_OPEN_REPARSE_POINT): the first run would then write a plugin.ini where
// the link leads. Wine refuses either way, so the flag is what can be seen here.
TEST(SettingsFileOnDisk, ANewFileIsMadeUnderItsOwnNameNeverThroughALink) {
  const std::string path = TempName("qb_new_");
  DWORD protection = 0;
  ASSERT_TRUE(VirtualProtect(&ImportedCreateFileA, sizeof ImportedCreateFileA, PAGE_READWRITE, &protection));
  RealCreateFileA = ImportedCreateFileA;
  ImportedCreateFileA = RecordingCreateFileA;
  CreateNewFlags = 0;
  OutputFile* file = CreateFileFor(path.c_str(), kCreateNew);
  ImportedCreateFileA = RealCreateFileA;
  VirtualProtect(&ImportedCreateFileA, sizeof ImportedCreateFileA, protection, &protection);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(CloseFile(file), 1);
  EXPECT_NE(CreateNewFlags & FILE_FLAG_OPEN_REPARSE_POINT, 0u);
  DeleteFileA(path.c_str());
}

}  // namespace

// plugin.ini on a real disk under Wine: what the narrow file calls take, how the new
// content replaces the old, what a crash leaves, and, with stand-ins for the Win32 calls
// the file layer makes, what it does where Windows does what Wine does not show.
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

// The file layer reaches Win32 through the program's import table. A test swaps an entry
// for a stand-in while it lives: to see what a call is given, or, where Windows does what
// Wine does not show, to do what Windows documents.
template <typename Function>
struct ImportSwap {
  Function& slot;
  Function real;
  DWORD protection = 0;
  ImportSwap(Function& importSlot, Function standIn) : slot(importSlot), real(importSlot) {
    VirtualProtect(&slot, sizeof slot, PAGE_READWRITE, &protection);
    slot = standIn;
  }
  ~ImportSwap() {
    slot = real;
    VirtualProtect(&slot, sizeof slot, protection, &protection);
  }
};

using CreateFileAFunction = HANDLE(WINAPI*)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
using GetFileAttributesAFunction = DWORD(WINAPI*)(LPCSTR);
using ReplaceFileAFunction = BOOL(WINAPI*)(LPCSTR, LPCSTR, LPCSTR, DWORD, LPVOID, LPVOID);
using MoveFileExAFunction = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);
extern "C" CreateFileAFunction ImportedCreateFileA __asm__("__imp__CreateFileA@28");
extern "C" GetFileAttributesAFunction ImportedGetFileAttributesA __asm__("__imp__GetFileAttributesA@4");
extern "C" ReplaceFileAFunction ImportedReplaceFileA __asm__("__imp__ReplaceFileA@24");
extern "C" MoveFileExAFunction ImportedMoveFileExA __asm__("__imp__MoveFileExA@12");

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
  RealCreateFileA = ImportedCreateFileA;
  CreateNewFlags = 0;
  OutputFile* file = nullptr;
  {
    const ImportSwap swap(ImportedCreateFileA, RecordingCreateFileA);
    file = CreateFileFor(path.c_str(), kCreateNew);
  }
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(CloseFile(file), 1);
  EXPECT_NE(CreateNewFlags & FILE_FLAG_OPEN_REPARSE_POINT, 0u);
  DeleteFileA(path.c_str());
}

DWORD AttributesError;
DWORD WINAPI FailingGetFileAttributesA(LPCSTR) {
  SetLastError(AttributesError);
  return INVALID_FILE_ATTRIBUTES;
}

// Only "not found" is a free name: one being deleted while a scanner holds it answers
// access denied on Windows (Wine does not show it), and is not free.
TEST(SettingsFileOnDisk, OnlyANameNotFoundIsMissing) {
  const struct {
    DWORD error;
    PathKind kind;
  } cases[] = {{ERROR_FILE_NOT_FOUND, kPathMissing},
               {ERROR_PATH_NOT_FOUND, kPathMissing},
               {ERROR_ACCESS_DENIED, kPathUnknown},
               {ERROR_SHARING_VIOLATION, kPathUnknown}};
  for (const auto& c : cases) {
    AttributesError = c.error;
    const ImportSwap swap(ImportedGetFileAttributesA, FailingGetFileAttributesA);
    EXPECT_EQ(KindOfPath("C:\\any\\plugin.ini.qbnew"), c.kind) << c.error;
  }
}

// ReplaceFileA as Windows documents it when a scanner holds the new file: 1176 after the
// old file was removed when no backup name is given, both files kept under their names
// with one; 1177 with the old file under the backup name. The move after it fails too.
DWORD ReplaceError;
BOOL WINAPI HeldReplaceFileA(LPCSTR target, LPCSTR, LPCSTR backup, DWORD, LPVOID, LPVOID) {
  if (ReplaceError == ERROR_UNABLE_TO_MOVE_REPLACEMENT && backup == nullptr) DeleteFileA(target);
  if (ReplaceError == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 && backup != nullptr) MoveFileA(target, backup);
  SetLastError(ReplaceError);
  return FALSE;
}
BOOL WINAPI HeldMoveFileExA(LPCSTR, LPCSTR, DWORD) {
  SetLastError(ERROR_SHARING_VIOLATION);
  return FALSE;
}

TEST(SettingsFileOnDisk, AReplaceThatWindowsFailsLeavesTheOldFileWhole) {
  const std::string folder = TempName("qb_held_");
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const std::string path = folder + "\\plugin.ini";
  const std::string old = "[Other]\r\nx=1\r\n[Quillbox]\r\nComPort=1\r\nLibDir=C:\\M\\\r\n";
  ComPort = 2;
  std::snprintf(CurrentFolder, sizeof CurrentFolder, "C:\\M\\");
  for (const DWORD error : {DWORD{ERROR_UNABLE_TO_MOVE_REPLACEMENT}, DWORD{ERROR_UNABLE_TO_MOVE_REPLACEMENT_2}}) {
    WriteAll(path, old);
    ReplaceError = error;
    {
      const ImportSwap replace(ImportedReplaceFileA, HeldReplaceFileA);
      const ImportSwap move(ImportedMoveFileExA, HeldMoveFileExA);
      EXPECT_EQ(WriteSettingsFile(path.c_str()), 16) << error;
    }
    EXPECT_EQ(ReadAll(path), old) << error;
    EXPECT_EQ(GetFileAttributesA((path + ".qbold").c_str()), INVALID_FILE_ATTRIBUTES) << error;
    EXPECT_EQ(GetFileAttributesA((path + ".qbnew").c_str()), INVALID_FILE_ATTRIBUTES) << error;
  }
  DeleteFileA(path.c_str());
  RemoveDirectoryA(folder.c_str());
}

}  // namespace

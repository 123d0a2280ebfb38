// The file-system calls as Win32 calls, narrow (code page) paths throughout.
#include <windows.h>

#include <cstring>

#include "base/ascii_text.h"
#include "files/file_system.h"
#include "files/plain_path.h"

struct FolderListing {
  HANDLE find;
};

struct OutputFile {
  HANDLE handle;
  bool cutAtClose;  // a file rewritten where it is: what the old one had past the new end goes
  bool failed;      // ... unless a write or the reservation failed: then its length stays
};

namespace {

// Windows' narrow calls take at most MAX_PATH characters, the \\?\ prefix counted too;
// Wine takes longer names. Refused here as Windows refuses them, so that a name that
// works under Wine works on Windows.
bool FitsNarrowCalls(const char* path) {
  if (strnlen(path, MAX_PATH) < MAX_PATH) return true;
  SetLastError(ERROR_FILENAME_EXCED_RANGE);
  return false;
}

void TakeEntry(const WIN32_FIND_DATAA& found, ListedEntry* entry) {
  static_assert(sizeof found.cFileName == kListedNameSize);
  std::memcpy(entry->name, found.cFileName, kListedNameSize);
  entry->name[kListedNameSize - 1] = '\0';
  entry->attributes = found.dwFileAttributes;
}

}  // namespace

FolderListing* ListingStart(const char* pattern, ListedEntry* first) {
  WIN32_FIND_DATAA found;
  const HANDLE find = FindFirstFileA(pattern, &found);
  if (find == INVALID_HANDLE_VALUE) return nullptr;
  // One listing is open at a time, on the tick's thread; a static record saves an
  // allocation per scan.
  static FolderListing listing;
  listing.find = find;
  TakeEntry(found, first);
  return &listing;
}

int ListingNext(FolderListing* listing, ListedEntry* next) {
  WIN32_FIND_DATAA found;
  if (!FindNextFileA(listing->find, &found)) return GetLastError() == ERROR_NO_MORE_FILES ? 0 : -1;
  TakeEntry(found, next);
  return 1;
}

void ListingEnd(FolderListing* listing) {
  if (listing == nullptr) return;
  FindClose(listing->find);
  listing->find = INVALID_HANDLE_VALUE;
}

int MakeFolder(const char* path) {
  return CreateDirectoryA(path, nullptr) != 0 || GetLastError() == ERROR_ALREADY_EXISTS;
}

PathKind KindOfPath(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? kPathMissing : kPathUnknown;
  }
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? kPathFolder : kPathFile;
}

// MoveFileA moves folders too, with all they hold: a playlist entry made from a browsed
// folder names one, and dumping it would take a whole folder out of the collection.
int MoveFileTo(const char* from, const char* to) {
  if (!FitsNarrowCalls(from) || !FitsNarrowCalls(to) || KindOfPath(from) != kPathFile) return 0;
  return MoveFileA(from, to) != 0;
}

int DeleteFileAt(const char* path) { return FitsNarrowCalls(path) && DeleteFileA(path) != 0; }

OutputFile* CreateFileFor(const char* path, FileCreation how, bool* accessDenied) {
  const DWORD disposition = how == kCreateNew ? CREATE_NEW : how == kCreateAlways ? CREATE_ALWAYS : OPEN_EXISTING;
  // Windows creates a missing link target through CREATE_NEW; the name itself is what
  // must be new (Wine refuses either way).
  const DWORD flags = FILE_ATTRIBUTE_NORMAL | (how == kCreateNew ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
  const HANDLE handle = !FitsNarrowCalls(path) ? INVALID_HANDLE_VALUE
                                               : CreateFileA(path, GENERIC_WRITE, 0, nullptr, disposition, flags,
                                                             nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    if (accessDenied != nullptr) *accessDenied = GetLastError() == ERROR_ACCESS_DENIED;
    return nullptr;
  }
  // Playlists and the settings file are written one at a time on one thread.
  static OutputFile file;
  file.handle = handle;
  file.cutAtClose = how == kRewriteExisting;
  file.failed = false;
  return &file;
}

namespace {

bool MoveTo(HANDLE handle, LONGLONG offset) {
  LARGE_INTEGER at = {};
  at.QuadPart = offset;
  return SetFilePointerEx(handle, at, nullptr, FILE_BEGIN) != 0;
}

// Writes line breaks from `from` to `to`: setting the end alone may leave a sparse hole
// (Wine on Linux does) that a later write still finds no room for, and zeros would stay
// in the text after a crash, copied on by every later save.
struct LineBreaks {
  char bytes[4096];
  constexpr LineBreaks() : bytes() {
    for (char& b : bytes) b = '\n';
  }
};
constexpr LineBreaks kLineBreaks;

bool FillTo(HANDLE handle, LONGLONG from, LONGLONG to) {
  const char* breaks = kLineBreaks.bytes;
  constexpr LONGLONG kChunk = sizeof kLineBreaks.bytes;
  if (!MoveTo(handle, from)) return false;
  for (LONGLONG at = from; at < to;) {
    const DWORD chunk = static_cast<DWORD>(to - at < kChunk ? to - at : kChunk);
    DWORD written = 0;
    if (!WriteFile(handle, breaks, chunk, &written, nullptr) || written != chunk) return false;
    at += chunk;
  }
  return FlushFileBuffers(handle) != 0;
}

// The end of a rewrite: the old text past the new end becomes blank lines first, so that
// a crash before the cut leaves no fragment of an old line behind the new text.
bool CutWhereWritingEnded(HANDLE handle) {
  LARGE_INTEGER end = {};
  LARGE_INTEGER length = {};
  const LARGE_INTEGER none = {};
  if (!SetFilePointerEx(handle, none, &end, FILE_CURRENT) || !GetFileSizeEx(handle, &length)) return false;
  if (end.QuadPart < length.QuadPart && !FillTo(handle, end.QuadPart, length.QuadPart)) return false;
  return MoveTo(handle, end.QuadPart) && SetEndOfFile(handle) != 0;
}

}  // namespace

int ReserveFileSize(OutputFile* file, uint32_t size) {
  LARGE_INTEGER length = {};
  bool ok = GetFileSizeEx(file->handle, &length) != 0;
  if (ok && length.QuadPart < LONGLONG{size} && !FillTo(file->handle, length.QuadPart, size)) {
    // Back to the old length: the file as it was.
    ok = false;
    if (MoveTo(file->handle, length.QuadPart)) SetEndOfFile(file->handle);
  }
  ok = MoveTo(file->handle, 0) && ok;
  if (!ok) file->failed = true;
  return ok;
}

int WriteToFile(OutputFile* file, const void* data, uint32_t length) {
  DWORD written = 0;
  const bool ok = WriteFile(file->handle, data, length, &written, nullptr) != 0 && written == length;
  if (!ok) file->failed = true;
  return ok;
}

int CloseFile(OutputFile* file) {
  const bool cut = !file->cutAtClose || (!file->failed && CutWhereWritingEnded(file->handle));
  const bool flushed = FlushFileBuffers(file->handle) != 0;
  const bool closed = CloseHandle(file->handle) != 0;
  file->handle = INVALID_HANDLE_VALUE;
  return cut && flushed && closed && !file->failed;
}

// ReplaceFileA keeps the target's attributes and access rules, but needs a target, and
// not every file system has it: MoveFileExA does the rest. After 1175, 1176 and 1177 (the
// old file could not be removed, or the new one not renamed: a scanner or a sync client
// holding either is enough) a move would fail alike, and the backup name makes them
// leave the old file whole, under its own name or the backup's.
int ReplaceFileWith(const char* target, const char* replacement, const char* backup) {
  if (!FitsNarrowCalls(target) || !FitsNarrowCalls(replacement) || !FitsNarrowCalls(backup)) return 0;
  if (ReplaceFileA(target, replacement, backup, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) return 1;
  const DWORD error = GetLastError();
  if (error == ERROR_UNABLE_TO_REMOVE_REPLACED || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT ||
      error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
    return 0;
  }
  return MoveFileExA(replacement, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

// By a handle, so that a link is followed to the file it leads to.
int ReadFileStamp(const char* path, FileStamp* stamp) {
  if (!FitsNarrowCalls(path)) return 0;
  const HANDLE handle = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return 0;
  BY_HANDLE_FILE_INFORMATION info = {};
  const bool ok = GetFileInformationByHandle(handle, &info) != 0;
  CloseHandle(handle);
  if (!ok) return 0;
  stamp->size = (uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  stamp->lastWrite = (uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) | info.ftLastWriteTime.dwLowDateTime;
  return 1;
}

bool IsPathLeadByte(char byte) { return IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(byte)) != 0; }

// The final path comes as "\\?\C:\...". A file that is not a link keeps the name it was
// given: that name fits the narrow calls, the prefixed one may not.
int FinalPathOf(const char* path, char* out, size_t size) {
  const HANDLE handle = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return 0;
  char final[1024];
  const DWORD length = GetFinalPathNameByHandleA(handle, final, sizeof final, FILE_NAME_NORMALIZED);
  CloseHandle(handle);
  if (length == 0 || length >= sizeof final) return 0;
  // A final name past MAX_PATH is one the narrow calls refuse, prefix or not.
  char plain[kNarrowPathSize];
  if (!PlainPathOf(final, plain, sizeof plain)) return 0;
  // Wine reports a Linux symbolic link with no reparse-point attribute: a link is also a
  // file whose final name is not the one it was given.
  const DWORD attributes = GetFileAttributesA(path);
  const bool link = (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) ||
                    !EqualIgnoringAsciiCase(plain, path);
  const char* chosen = link ? plain : path;
  if (std::strlen(chosen) >= size) return 0;
  std::memcpy(out, chosen, std::strlen(chosen) + 1);
  return 1;
}

FileReadResult ReadWholeFile(const char* path, char* buffer, size_t capacity, size_t* size) {
  *size = 0;
  const HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? kFileMissing : kFileUnreadable;
  }
  LARGE_INTEGER length = {};
  FileReadResult result = kFileRead;
  DWORD got = 0;
  if (!GetFileSizeEx(handle, &length)) {
    result = kFileUnreadable;
  } else if (static_cast<unsigned long long>(length.QuadPart) > capacity) {
    result = kFileTooLarge;
  } else if (!ReadFile(handle, buffer, static_cast<DWORD>(length.QuadPart), &got, nullptr) ||
             got != static_cast<DWORD>(length.QuadPart)) {
    result = kFileUnreadable;
  }
  CloseHandle(handle);
  if (result == kFileRead) *size = got;
  return result;
}

LocalTime ReadLocalTime() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return LocalTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

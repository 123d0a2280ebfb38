// Every file-system call the plug-in makes, one procedure each: listing a folder, telling
// a file from a folder, making a folder, moving, creating, writing, replacing and reading
// files, following links, and the local time.
//
// The DLL links file_system_win.cpp (the Win32 calls); the native tests link a fake over
// an in-memory folder tree that records every call and can be told to fail any of them,
// so the browser and the handlers that touch files run natively under the sanitizers.
// Paths are narrow, NUL-terminated and used as given: no call here cuts or joins them.
#pragma once
#include <cstddef>
#include <cstdint>

// A listed entry's name holds at most 259 characters (MAX_PATH with its NUL).
constexpr uint32_t kListedNameSize = 260;

// The listing's attribute bits, with their Win32 values.
constexpr uint32_t kAttributeHidden = 0x2;
constexpr uint32_t kAttributeSystem = 0x4;
constexpr uint32_t kAttributeDirectory = 0x10;

struct ListedEntry {
  char name[kListedNameSize];  // always terminated
  uint32_t attributes;
};

struct FolderListing;  // an open listing, owned by the file system

// Starts listing what matches pattern ("<folder>*.*") and fills *first with the first
// entry. Null when the listing cannot be started (a missing or unreadable folder).
FolderListing* ListingStart(const char* pattern, ListedEntry* first);

// The next entry: 1 with *next filled, 0 when no entries are left, -1 on any other
// failure of the listing.
int ListingNext(FolderListing* listing, ListedEntry* next);

// Ends a listing that ListingStart opened.
void ListingEnd(FolderListing* listing);

// Makes the last folder of path: 1 when it was made or is there already, 0 otherwise.
int MakeFolder(const char* path);

enum PathKind { kPathMissing, kPathFile, kPathFolder, kPathUnknown };

// What path names: a file, a folder, nothing (the system found no such name), or
// kPathUnknown when that cannot be told: a name being deleted while another program
// still holds it answers "access denied", and is not free. A folder may be named with or
// without its trailing backslash.
PathKind KindOfPath(const char* path);

// Moves a file, never over an existing one and never a folder: 1 when moved, 0 (nothing
// moved) otherwise. A file moved onto its own name stays where it is: 1.
int MoveFileTo(const char* from, const char* to);

// Deletes a file: 1 when it is gone.
int DeleteFileAt(const char* path);

struct OutputFile;  // a file open for writing

enum FileCreation { kCreateNew, kCreateAlways, kRewriteExisting };

// Opens a file for writing, with no sharing. One file is open for writing at a time
// (the settings file before the ticks start, a saved playlist inside one tick).
// kCreateNew opens the name itself: it never touches an existing file, nor a name a link
// holds (null then); kCreateAlways empties one; kRewriteExisting opens only an existing
// file and writes it from its start; at CloseFile, unless a write or ReserveFileSize
// failed, what the old file had past the end of the writing is overwritten with line
// breaks and flushed, then cut, so that a crash before the cut leaves only blank lines
// behind the new text. Null when it cannot be opened; then *accessDenied, when given,
// tells whether the system refused access (a folder that takes no new file, a
// file that may not be written) rather than anything else.
OutputFile* CreateFileFor(const char* path, FileCreation how, bool* accessDenied = nullptr);

// For a file opened with kRewriteExisting, before anything is written: makes it at least
// size bytes long, so that writing it anew cannot run out of space halfway. It grows by
// line breaks, which a reader of a text file passes over, should a crash come before the
// new text is in. 1 when it is; 0 when the disk has no room, the file then as it was.
int ReserveFileSize(OutputFile* file, uint32_t size);

// Writes all length bytes: 1 when all of them were written, 0 otherwise.
int WriteToFile(OutputFile* file, const void* data, uint32_t length);

// Flushes and closes: 1 when everything written reached the file, 0 otherwise. The
// handle is gone either way.
int CloseFile(OutputFile* file);

// Puts replacement in target's place, so that target is either the old file whole or
// the new one whole, keeping an existing target's attributes, and the old file under
// backup's name (a file already there is replaced): 1 when done. 0 when it failed, and
// then Windows leaves either both files under their own names, or the old file whole
// under backup's name, target's name free and replacement under its own.
int ReplaceFileWith(const char* target, const char* replacement, const char* backup);

// What tells one state of a file from another: its size and its last-write time.
struct FileStamp {
  uint64_t size;
  uint64_t lastWrite;
};

// The stamp of the file path leads to, links followed: 1 with it in *stamp, 0 when there
// is no such file or it cannot be read.
int ReadFileStamp(const char* path, FileStamp* stamp);

// Whether byte opens a two-byte character in the system's code page (Japanese, Chinese,
// Korean), whose second byte may be that of "\": narrow paths are split by characters.
bool IsPathLeadByte(char byte);

// The path by which an existing file is written: path itself, unless it is a link,
// then the file it finally leads to, without the \\?\ prefix the system gives it. 1 with
// it in out; 0 when there is no such file or its final name does not fit out or the
// narrow calls (MAX_PATH, which count the prefix too).
int FinalPathOf(const char* path, char* out, size_t size);

enum FileReadResult { kFileRead = 1, kFileMissing = 0, kFileUnreadable = -1, kFileTooLarge = -2 };

// Reads a whole file of at most capacity bytes into buffer and its size into *size.
FileReadResult ReadWholeFile(const char* path, char* buffer, size_t capacity, size_t* size);

struct LocalTime {
  int32_t year, month, day, hour, minute, second;
};

// The date and time on the local clock.
LocalTime ReadLocalTime();

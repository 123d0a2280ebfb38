// Reading plugin.ini whole and writing it anew, through the file-system seam.
//
// The file is shared with the host's other plug-ins, so it is not written in place if
// that can be helped: a full disk, a quota or a crash halfway would leave it cut short,
// their sections gone. The new content goes into a temporary file beside it, which then
// takes the old file's place in one step, keeping its attributes. Until that step the
// old file is untouched; after a failure the temporary file is removed, unless the old
// one is gone by then: Windows can fail a replace after it has removed the old file,
// and the temporary file then holds the only copy, which the next start takes.
//
// A plugin.ini that is a link is the file it finally leads to: that one is replaced,
// from beside it, and the link stays a link. Where the folder refuses a new file (the
// user may write plugin.ini but not its folder), it is rewritten in place, grown first
// to its new size so that the writing cannot run out of room halfway.
#include "config/settings_file.h"

#include <cstdio>

#include "config/settings_text.h"
#include "files/file_system.h"
#include "res/resource_ids.h"

namespace {

// The temporary file is the settings file's name with this behind it, in the same
// folder, so that the replacing move never crosses a volume.
constexpr char kTemporarySuffix[] = ".qbnew";

// The file's copy while it is read and rewritten; static, so that no settings call
// allocates.
char FileImage[kSettingsFileLimit];

struct Piece {
  const char* bytes;
  size_t length;
};

bool WritePieces(OutputFile* file, const Piece* pieces, size_t count) {
  bool ok = true;
  for (size_t i = 0; ok && i < count; i++) {
    ok = pieces[i].length == 0 || WriteToFile(file, pieces[i].bytes, static_cast<uint32_t>(pieces[i].length));
  }
  return ok;
}

// The temporary file's name for the file at path: false when it does not fit, for a
// cut name is another file.
using TemporaryName = char[kSettingsPathSize + sizeof kTemporarySuffix];
bool TemporaryOf(const char* path, TemporaryName& out) {
  const int n = std::snprintf(out, sizeof out, "%s%s", path, kTemporarySuffix);
  return n >= 0 && static_cast<size_t>(n) < sizeof out;
}

// Writes the pieces into file and closes it: true when all of them reached it.
bool WriteAndClose(OutputFile* file, const Piece* pieces, size_t count) {
  const bool written = WritePieces(file, pieces, count);
  const bool closed = CloseFile(file) != 0;
  return written && closed;
}

// The one way left when the folder takes no new file. A file that cannot be grown to
// its new size is left as it was; the end is set only once every byte is written.
int RewriteInPlace(const char* target, const Piece* pieces, size_t count, size_t total) {
  OutputFile* file = CreateFileFor(target, kRewriteExisting);
  if (file == nullptr) return 0;
  if (!ReserveFileSize(file, static_cast<uint32_t>(total))) {
    CloseFile(file);
    return 0;
  }
  return WriteAndClose(file, pieces, count) ? 1 : 0;
}

// path's new content, made of the pieces in order: 1 when path holds it whole, 0 when
// path is as it was (or, should Windows fail the replace after removing the old file,
// the new content waits in the temporary file). Content too large to be read again is
// not written.
int ReplaceContent(const char* path, const Piece* pieces, size_t count) {
  size_t total = 0;
  for (size_t i = 0; i < count; i++) total += pieces[i].length;
  if (total > kSettingsFileLimit) return 0;
  char target[kSettingsPathSize];
  TemporaryName temporary;
  if (!FinalPathOf(path, target, sizeof target) || !TemporaryOf(target, temporary)) return 0;
  // Always: a temporary file left by a crash, beside the file it was for, is ours.
  bool denied = false;
  OutputFile* file = CreateFileFor(temporary, kCreateAlways, &denied);
  if (file == nullptr) {
    // A temporary file that cannot be written over is not the folder refusing new files.
    const bool folderClosed = denied && KindOfPath(temporary) == kPathMissing;
    return folderClosed ? RewriteInPlace(target, pieces, count, total) : 0;
  }
  if (WriteAndClose(file, pieces, count) && ReplaceFileWith(target, temporary)) return 1;
  if (KindOfPath(target) != kPathMissing) DeleteFileAt(temporary);
  return 0;
}

// The first run: a file that holds only the fresh section. Its name is taken first with
// an empty file, never over anything there: a link that leads nowhere is refused rather
// than replaced. An empty file left by a failure after that reads as a missing one.
// Failing to make it is failing to create the file (message 13).
int CreateWithFreshSection(const char* path) {
  OutputFile* file = CreateFileFor(path, kCreateNew);
  if (file == nullptr || !CloseFile(file)) return kMsgSettingsOpen;
  char fresh[kFreshSectionSize];
  const Piece piece = {fresh, FormatFreshSection(fresh)};
  return ReplaceContent(path, &piece, 1) ? 0 : kMsgSettingsOpen;
}

// The file's size bytes in FileImage, and the fresh section behind them.
int AppendFreshSection(const char* path, size_t size) {
  char fresh[kFreshSectionSize];
  const Piece pieces[] = {{FileImage, size}, {fresh, FormatFreshSection(fresh)}};
  return ReplaceContent(path, pieces, 2) ? 0 : kMsgSettingsWrite;
}

// Reads path whole into FileImage. A missing file whose temporary file is there lost a
// replace halfway, after the old file was removed: the temporary file is the settings
// file, and is put back in its place first; one that cannot be is never made anew.
FileReadResult ReadImage(const char* path, size_t* size) {
  const FileReadResult read = ReadWholeFile(path, FileImage, sizeof FileImage, size);
  TemporaryName temporary;
  if (read != kFileMissing || !TemporaryOf(path, temporary) || KindOfPath(temporary) != kPathFile) return read;
  if (!MoveFileTo(temporary, path)) return kFileUnreadable;
  return ReadWholeFile(path, FileImage, sizeof FileImage, size);
}

}  // namespace

int ReadSettingsFile(const char* path) {
  size_t size = 0;
  const FileReadResult read = ReadImage(path, &size);
  if (read == kFileMissing) return CreateWithFreshSection(path);
  // An unreadable file must not pass for one without the section: that would add a
  // second section, or empty a file we could not read.
  if (read != kFileRead) return kMsgSettingsOpen;
  size_t afterHeader = 0;
  if (!FindSectionHeader(FileImage, size, &afterHeader)) return AppendFreshSection(path, size);
  return LoadEntries(FileImage, size, afterHeader);
}

int WriteSettingsFile(const char* path) {
  size_t size = 0;
  const FileReadResult read = ReadImage(path, &size);
  if (read == kFileTooLarge) return kMsgSettingsWrite;
  // Missing too: a file that has gone since the dialog opened is not made again.
  if (read != kFileRead) return kMsgSettingsOpen;
  size_t begin = 0;
  if (!FindSectionHeader(FileImage, size, &begin)) return kMsgNoSettingsHeading;
  const size_t end = EntriesEnd(FileImage, size, begin);
  char entries[kEntriesTextSize];
  const size_t length = FormatEntries(entries);
  if (length == 0) return kMsgSettingsWrite;
  const Piece pieces[] = {{FileImage, begin}, {entries, length}, {FileImage + end, size - end}};
  return ReplaceContent(path, pieces, 3) ? 0 : kMsgSettingsWrite;
}

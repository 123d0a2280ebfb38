// Reading plugin.ini whole and writing it anew, through the file-system seam.
//
// The file is shared with the host's other plug-ins, so it is not written in place if
// that can be helped: a full disk, a quota or a crash halfway would leave it cut short,
// their sections gone. The new content goes into a temporary file beside it, which then
// takes the old file's place in one step, keeping its attributes, the old file going to
// a backup name. A replace that fails leaves the old file whole, under its own name or
// the backup's: it is moved back, and when even that fails, the next start takes the
// backup, which is known to be whole. The temporary file is never taken: a crash may
// have cut it. Should another plug-in have made a new plugin.ini before that start, the
// sections it lacks are taken from the backup, which goes only once they are stored.
//
// Another program may write the file between our read and our replace (a plug-in saving
// its own section): its size or last-write time then differ from the read's, and the
// file is read and the change made again, once.
//
// A plugin.ini that is a link is the file it finally leads to: that one is replaced,
// from beside it, and the link stays a link. Where the folder refuses a new file (the
// user may write plugin.ini but not its folder), it is rewritten in place, grown first
// to its new size so that the writing cannot run out of room halfway.
#include "config/settings_file.h"

#include <cstdio>

#include "config/section_merge.h"
#include "config/settings_text.h"
#include "files/file_system.h"
#include "res/resource_ids.h"

namespace {

// The temporary file and the backup are the settings file's name with these behind it,
// in the same folder, so that the replacing moves never cross a volume.
constexpr char kTemporarySuffix[] = ".qbnew";
constexpr char kBackupSuffix[] = ".qbold";

// The file's copy while it is read and rewritten, and its stamp when it was read; static,
// so that no settings call allocates.
char FileImage[kSettingsFileLimit];
FileStamp ImageStamp;
char BackupImage[kSettingsFileLimit];

// What a change to the file came to: kChanged when another program wrote the file since
// it was read, and nothing was changed.
enum Outcome { kSaved, kFailed, kChanged };

// The answer of one try that met kChanged: the file is read and the change made again.
constexpr int kTryAgain = -1;

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

// The name beside path with suffix behind it: false when it does not fit, for a cut name
// is another file.
using SideName = char[kSettingsPathSize + 8];
bool SideNameOf(const char* path, const char* suffix, SideName& out) {
  const int n = std::snprintf(out, sizeof out, "%s%s", path, suffix);
  return n >= 0 && static_cast<size_t>(n) < sizeof out;
}

// Writes the pieces into file and closes it: true when all of them reached it.
bool WriteAndClose(OutputFile* file, const Piece* pieces, size_t count) {
  const bool written = WritePieces(file, pieces, count);
  const bool closed = CloseFile(file) != 0;
  return written && closed;
}

// The file at target is still the one that was read.
bool Unchanged(const char* target) {
  FileStamp now = {};
  return ReadFileStamp(target, &now) && now.size == ImageStamp.size && now.lastWrite == ImageStamp.lastWrite;
}

// The one way left when the folder takes no new file. A file that cannot be grown to
// its new size is left as it was; the end is set only once every byte is written.
Outcome RewriteInPlace(const char* target, const Piece* pieces, size_t count, size_t total) {
  if (!Unchanged(target)) return kChanged;
  OutputFile* file = CreateFileFor(target, kRewriteExisting);
  if (file == nullptr) return kFailed;
  if (!ReserveFileSize(file, static_cast<uint32_t>(total))) {
    CloseFile(file);
    return kFailed;
  }
  return WriteAndClose(file, pieces, count) ? kSaved : kFailed;
}

// The temporary file, written whole, in target's place. On failure the old file is put
// back under its own name when the replace left it under the backup's.
Outcome PutInPlace(const char* target, const char* temporary) {
  SideName backup;
  if (!SideNameOf(target, kBackupSuffix, backup)) return kFailed;
  if (!Unchanged(target)) return kChanged;
  // A backup beside a file that is there is left from an earlier save, and what it had
  // that the file lacks is in the temporary file now (ReadImage took it).
  const bool leftover = KindOfPath(backup) == kPathFile;
  if (leftover) DeleteFileAt(backup);
  if (ReplaceFileWith(target, temporary, backup)) {
    DeleteFileAt(backup);
    return kSaved;
  }
  if (KindOfPath(target) == kPathMissing && KindOfPath(backup) == kPathFile) {
    MoveFileTo(backup, target);
  } else if (leftover && KindOfPath(backup) == kPathMissing) {
    MoveFileTo(temporary, backup);  // whole, and the only copy of the leftover's sections
  }
  return kFailed;
}

// path's new content, made of the pieces in order: kSaved when path holds it whole;
// otherwise path is as it was (or, should even moving it back fail, the old file waits
// under the backup name). Content too large to be read again is not written.
Outcome ReplaceContent(const char* path, const Piece* pieces, size_t count) {
  size_t total = 0;
  for (size_t i = 0; i < count; i++) total += pieces[i].length;
  if (total > kSettingsFileLimit) return kFailed;
  char target[kSettingsPathSize];
  SideName temporary;
  if (!FinalPathOf(path, target, sizeof target) || !SideNameOf(target, kTemporarySuffix, temporary)) return kFailed;
  // Always: a temporary file left by a crash, beside the file it was for, is ours.
  bool denied = false;
  OutputFile* file = CreateFileFor(temporary, kCreateAlways, &denied);
  if (file == nullptr) {
    // A temporary file that cannot be written over (one being deleted too) is not the
    // folder refusing new files.
    const bool folderClosed = denied && KindOfPath(temporary) == kPathMissing;
    return folderClosed ? RewriteInPlace(target, pieces, count, total) : kFailed;
  }
  const Outcome outcome = WriteAndClose(file, pieces, count) ? PutInPlace(target, temporary) : kFailed;
  if (outcome != kSaved) DeleteFileAt(temporary);
  return outcome;
}

int Answer(Outcome outcome, int failure) { return outcome == kSaved ? 0 : outcome == kChanged ? kTryAgain : failure; }

// The first run: a file that holds only the fresh section. Its name is taken first with
// an empty file, never over anything there: a link that leads nowhere is refused rather
// than replaced. An empty file left by a failure after that reads as a missing one.
// Failing to make it is failing to create the file (message 13).
int CreateWithFreshSection(const char* path) {
  OutputFile* file = CreateFileFor(path, kCreateNew);
  if (file == nullptr || !CloseFile(file) || !ReadFileStamp(path, &ImageStamp)) return kMsgSettingsOpen;
  char fresh[kFreshSectionSize];
  const Piece piece = {fresh, FormatFreshSection(fresh)};
  return Answer(ReplaceContent(path, &piece, 1), kMsgSettingsOpen);
}

// The file's size bytes in FileImage, and the fresh section behind them.
int AppendFreshSection(const char* path, size_t size) {
  char fresh[kFreshSectionSize];
  const Piece pieces[] = {{FileImage, size}, {fresh, FormatFreshSection(fresh)}};
  return Answer(ReplaceContent(path, pieces, 2), kMsgSettingsWrite);
}

// Reads path whole into FileImage, its stamp taken first: a write after that shows. A
// missing file whose backup is there lost a replace halfway: the backup is the settings
// file, and is put back in its place first; one that cannot be is never made anew. A
// UTF-16 file is unreadable here, and left as it is.
FileReadResult ReadImageOnce(const char* path, size_t* size) {
  if (!ReadFileStamp(path, &ImageStamp)) ImageStamp = FileStamp{};
  const FileReadResult read = ReadWholeFile(path, FileImage, sizeof FileImage, size);
  return read == kFileRead && IsWideText(FileImage, *size) ? kFileUnreadable : read;
}

// A backup beside a file that is there: the sections it has and the file lacks are added
// to the image, for the next save to store. One that cannot be read or added makes the
// file unreadable here, so that nothing is saved over it.
FileReadResult TakeLeftoverSections(const char* backup, size_t* size) {
  size_t backupSize = 0;
  if (ReadWholeFile(backup, BackupImage, sizeof BackupImage, &backupSize) != kFileRead) return kFileUnreadable;
  if (IsWideText(BackupImage, backupSize)) return kFileUnreadable;
  const size_t merged = AppendMissingSections(FileImage, *size, sizeof FileImage, BackupImage, backupSize);
  if (merged == 0 && *size != 0) return kFileUnreadable;
  *size = merged;
  return kFileRead;
}

FileReadResult ReadImage(const char* path, size_t* size) {
  const FileReadResult read = ReadImageOnce(path, size);
  SideName backup;
  if (read == kFileUnreadable || read == kFileTooLarge || !SideNameOf(path, kBackupSuffix, backup) ||
      KindOfPath(backup) != kPathFile) {
    return read;
  }
  if (read == kFileRead) return TakeLeftoverSections(backup, size);
  if (!MoveFileTo(backup, path)) return kFileUnreadable;
  return ReadImageOnce(path, size);
}

int ReadOnce(const char* path) {
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

int WriteOnce(const char* path) {
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
  return Answer(ReplaceContent(path, pieces, 3), kMsgSettingsWrite);
}

// A second try when another program wrote the file meanwhile; a file that keeps changing
// is left to the other program.
int TwoTries(int (*once)(const char*), const char* path) {
  const int first = once(path);
  if (first != kTryAgain) return first;
  const int second = once(path);
  return second == kTryAgain ? kMsgSettingsWrite : second;
}

}  // namespace

int ReadSettingsFile(const char* path) { return TwoTries(ReadOnce, path); }

int WriteSettingsFile(const char* path) { return TwoTries(WriteOnce, path); }

// Reading plugin.ini whole and writing it anew, through the file-system seam.
//
// The file is shared with the host's other plug-ins, so it is not written in place if
// that can be helped: a full disk, a quota or a crash halfway would leave it cut short,
// their sections gone. The new content goes into a temporary file beside it, which then
// takes the old file's place in one step, keeping its attributes. Until that step the
// old file is untouched; after any failure the temporary file is removed.
//
// A plugin.ini that is a link is the file it finally leads to: that one is replaced,
// from beside it, and the link stays a link. Where no file can be made beside it (a
// folder the user may not write to, around a file they may), it is rewritten in place.
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

// first and second joined into out: false when that does not fit, for a cut name is
// another file.
bool Format(char* out, size_t size, const char* first, const char* second) {
  const int n = std::snprintf(out, size, "%s%s", first, second);
  return n >= 0 && static_cast<size_t>(n) < size;
}

// Writes the pieces into file and closes it: true when all of them reached it.
bool WriteAndClose(OutputFile* file, const Piece* pieces, size_t count) {
  const bool written = WritePieces(file, pieces, count);
  const bool closed = CloseFile(file) != 0;
  return written && closed;
}

// The one way left when no file can be made beside the target. Bytes already on the
// disk are written over first, so content no longer than the old cannot run out of
// space; a failure halfway still leaves the file damaged.
int RewriteInPlace(const char* target, const Piece* pieces, size_t count) {
  OutputFile* file = CreateFileFor(target, kRewriteExisting);
  return file != nullptr && WriteAndClose(file, pieces, count) ? 1 : 0;
}

// path's new content, made of the pieces in order: 1 when path holds it whole, 0 when
// path is as it was (unless a rewrite in place failed halfway). Content too large to be
// read again is not written.
int ReplaceContent(const char* path, const Piece* pieces, size_t count) {
  size_t total = 0;
  for (size_t i = 0; i < count; i++) total += pieces[i].length;
  if (total > kSettingsFileLimit) return 0;
  // A missing file (the first run) is made where the name says.
  char target[kSettingsPathSize];
  if (!FinalPathOf(path, target, sizeof target) && !Format(target, sizeof target, path, "")) return 0;
  char temporary[kSettingsPathSize + sizeof kTemporarySuffix];
  if (!Format(temporary, sizeof temporary, target, kTemporarySuffix)) return 0;
  // Always: a temporary file left by a crash is ours to replace.
  OutputFile* file = CreateFileFor(temporary, kCreateAlways);
  if (file == nullptr) return RewriteInPlace(target, pieces, count);
  if (WriteAndClose(file, pieces, count) && ReplaceFileWith(target, temporary)) return 1;
  DeleteFileAt(temporary);
  return 0;
}

// The first run: a file that holds only the fresh section. Failing to make it is
// failing to create the file (message 13), whichever step failed.
int CreateWithFreshSection(const char* path) {
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

}  // namespace

int ReadSettingsFile(const char* path) {
  size_t size = 0;
  const FileReadResult read = ReadWholeFile(path, FileImage, sizeof FileImage, &size);
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
  const FileReadResult read = ReadWholeFile(path, FileImage, sizeof FileImage, &size);
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

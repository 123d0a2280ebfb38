// Reading plugin.ini whole and writing it anew, through the file-system seam.
//
// The file is shared with the host's other plug-ins, so it is never written in place: a
// full disk, a quota or a crash halfway would leave it cut short, their sections gone.
// The new content goes into a temporary file beside it, which then takes the old file's
// place in one step. Until that step the old file is untouched; after any failure the
// temporary file is removed.
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

// path's new content, made of the pieces in order: 1 when path holds it whole, 0 when
// path is as it was. Content too large to be read again is not written.
int ReplaceContent(const char* path, const Piece* pieces, size_t count) {
  size_t total = 0;
  for (size_t i = 0; i < count; i++) total += pieces[i].length;
  if (total > kSettingsFileLimit) return 0;
  char temporary[kSettingsPathSize + sizeof kTemporarySuffix];
  const int n = std::snprintf(temporary, sizeof temporary, "%s%s", path, kTemporarySuffix);
  if (n < 0 || static_cast<size_t>(n) >= sizeof temporary) return 0;  // a cut name is another file
  // Always: a temporary file left by a crash is ours to replace.
  OutputFile* file = CreateFileFor(temporary, kCreateAlways);
  if (file == nullptr) return 0;
  const bool written = WritePieces(file, pieces, count);
  const bool closed = CloseFile(file) != 0;
  if (written && closed && ReplaceFileWith(path, temporary)) return 1;
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

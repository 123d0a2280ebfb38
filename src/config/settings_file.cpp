// Reading and rewriting the plug-in's section of plugin.ini, and finding the file.
//
// The file is shared with the host's other plug-ins, so the rewrite keeps every byte of
// theirs: it reads the whole file, and writes it anew with only our entries replaced.
// Files are handled as bytes and our own lines end with the platform's line break, so
// that a stray Ctrl-Z or a lone LF in another plug-in's text survives the rewrite.
#include "config/settings_file.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "config/settings.h"
#include "res/resource_ids.h"

namespace {

#if defined(_WIN32)
constexpr char kLineBreak[] = "\r\n";  // what a text-mode stream writes on Windows
#else
constexpr char kLineBreak[] = "\n";
#endif

constexpr char kPluginsFolder[] = "Plugins\\";
constexpr char kSettingsFileName[] = "plugin.ini";
constexpr char kHeader[] = "[Quillbox]";
constexpr size_t kHeaderLength = sizeof kHeader - 1;
constexpr char kComPortKey[] = "ComPort=";
constexpr char kLibDirKey[] = "LibDir=";
constexpr char kPlSaveDirKey[] = "PlSaveDir=";
constexpr char kDumpDirKey[] = "DumpDir=";
static_assert(kHeaderLength == 10);

// A key of at most 10 characters and a value of at most 255, with room to spare.
constexpr size_t kEntrySize = kPathSize + 16;

// The rewrite's copy of the file; static, so that no settings call allocates.
char FileImage[kSettingsFileLimit];

// The characters that separate tokens (those of isspace in the C locale).
bool IsSeparator(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// A stream read one character ahead, counting the offset of that character, so that
// the rewrite knows where the header and the entries end without ftell.
struct Reader {
  FILE* file;
  size_t at;  // offset of c in the file
  int c;      // the next character, or EOF
};

Reader StartReading(FILE* file) { return Reader{file, 0, std::fgetc(file)}; }

void Advance(Reader* r) {
  r->at++;
  r->c = std::fgetc(r->file);
}

void SkipSeparators(Reader* r) {
  while (r->c != EOF && IsSeparator(r->c)) Advance(r);
}

// Moves past the first token whose first 10 characters are the header ("[Quillbox]x"
// counts, "[quillbox]" does not). 1 when found, 0 at the end of the file.
int FindHeader(Reader* r) {
  for (;;) {
    SkipSeparators(r);
    if (r->c == EOF) return 0;
    size_t length = 0;
    bool matches = true;
    for (; r->c != EOF && !IsSeparator(r->c); Advance(r), length++) {
      if (length < kHeaderLength && r->c != kHeader[length]) matches = false;
    }
    if (matches && length >= kHeaderLength) return 1;
  }
}

// The next entry: blank lines are passed over, then the rest of the line is the entry,
// without the blanks at its end (the CR of a CR LF among them). A line longer than the
// buffer is cut. 1 with an entry, 0 at the end of the file.
int NextEntry(Reader* r, char* entry, size_t size) {
  SkipSeparators(r);
  if (r->c == EOF) return 0;
  size_t n = 0;
  for (; r->c != EOF && r->c != '\n'; Advance(r)) {
    if (n + 1 < size) entry[n++] = static_cast<char>(r->c);
  }
  if (r->c == '\n') Advance(r);
  while (n > 0 && IsSeparator(static_cast<unsigned char>(entry[n - 1]))) n--;
  entry[n] = '\0';
  return 1;
}

bool StartsWith(const char* text, const char* prefix) {
  return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// A decimal number as atol reads it (leading blanks, a sign, the leading digits; 0 when
// there are none), held at the int32 limits instead of overflowing.
int32_t ParseDecimal(const char* text) {
  while (IsSeparator(static_cast<unsigned char>(*text))) text++;
  const bool negative = *text == '-';
  if (*text == '-' || *text == '+') text++;
  int64_t value = 0;
  for (; *text >= '0' && *text <= '9'; text++) {
    value = value * 10 + (*text - '0');
    if (value > INT32_MAX) value = INT64_C(1) + INT32_MAX;  // enough to saturate either way
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

// One entry into the settings. 0 when it holds no "="; an unknown key is passed over.
int ApplyEntry(const char* entry) {
  if (std::strchr(entry, '=') == nullptr) return 0;
  if (StartsWith(entry, kComPortKey)) {
    const char* value = entry + std::strlen(kComPortKey);
    if (*value != '\0') ComPort = ParseDecimal(value);
  } else if (StartsWith(entry, kLibDirKey)) {
    const char* value = entry + std::strlen(kLibDirKey);
    CopyBounded(CurrentFolder, sizeof CurrentFolder, value);
    CopyBounded(LibraryRoot, sizeof LibraryRoot, value);
  } else if (StartsWith(entry, kDumpDirKey)) {
    CopyBounded(DumpDir, sizeof DumpDir, entry + std::strlen(kDumpDirKey));
  } else if (StartsWith(entry, kPlSaveDirKey)) {
    CopyBounded(PlaylistDir, sizeof PlaylistDir, entry + std::strlen(kPlSaveDirKey));
  }
  return 1;
}

// A blank line, the header, and the four keys without values, at the end of the file.
int AppendFreshSection(FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return kMsgSettingsWrite;
  bool ok = std::fprintf(file, "%s%s%s", kLineBreak, kHeader, kLineBreak) >= 0;
  for (const char* key : {kComPortKey, kLibDirKey, kPlSaveDirKey, kDumpDirKey}) {
    ok = ok && std::fprintf(file, "%s%s", key, kLineBreak) >= 0;
  }
  ok = ok && std::fflush(file) == 0;
  return ok ? 0 : kMsgSettingsWrite;
}

int LoadSection(FILE* file) {
  Reader r = StartReading(file);
  if (!FindHeader(&r)) {
    // A read error must not pass for a missing section: that would add a second one.
    if (std::ferror(file)) return kMsgSettingsOpen;
    return AppendFreshSection(file);
  }
  char entry[kEntrySize];
  for (int i = 0; i < kMaxSettingsEntries && NextEntry(&r, entry, sizeof entry); i++) {
    if (!ApplyEntry(entry)) return kMsgSettingsParse;
  }
  return 0;
}

// Create the file only when it is missing: a plugin.ini that exists but cannot be opened
// right now must not be emptied.
FILE* OpenOrCreate(const char* path) {
  FILE* file = std::fopen(path, "r+b");
  if (file != nullptr || errno != ENOENT) return file;
  return std::fopen(path, "w+b");
}

// Where the old entries lie: from directly after the header token to the end of the
// last line that reading takes as an entry (at most four lines holding "=").
struct EntrySpan {
  size_t begin;
  size_t end;
};

int LocateEntries(FILE* file, EntrySpan* span) {
  Reader r = StartReading(file);
  if (!FindHeader(&r)) return std::ferror(file) ? kMsgSettingsOpen : kMsgNoSettingsHeading;
  span->begin = span->end = r.at;
  char entry[kEntrySize];
  for (int i = 0; i < kMaxSettingsEntries && NextEntry(&r, entry, sizeof entry); i++) {
    if (std::strchr(entry, '=') == nullptr) break;  // not ours: it stays
    span->end = r.at;
  }
  return std::ferror(file) ? kMsgSettingsOpen : 0;
}

int ReadWholeFile(FILE* file, size_t* size) {
  if (std::fseek(file, 0, SEEK_END) != 0) return kMsgSettingsOpen;
  const long length = std::ftell(file);
  if (length < 0) return kMsgSettingsOpen;
  if (static_cast<unsigned long>(length) > sizeof FileImage) return kMsgSettingsWrite;
  *size = static_cast<size_t>(length);
  std::rewind(file);
  return std::fread(FileImage, 1, *size, file) == *size ? 0 : kMsgSettingsOpen;
}

bool WriteBytes(FILE* file, const char* bytes, size_t n) {
  return n == 0 || std::fwrite(bytes, 1, n, file) == n;
}

bool WriteEntries(FILE* file) {
  bool ok = std::fprintf(file, "%s%s%i%s", kLineBreak, kComPortKey, static_cast<int>(ComPort), kLineBreak) >= 0;
  ok = ok && std::fprintf(file, "%s%.255s%s", kLibDirKey, CurrentFolder, kLineBreak) >= 0;
  ok = ok && std::fprintf(file, "%s%.255s%s", kPlSaveDirKey, PlaylistDir, kLineBreak) >= 0;
  ok = ok && std::fprintf(file, "%s%.255s%s", kDumpDirKey, DumpDir, kLineBreak) >= 0;
  return ok;
}

// The text before the old entries, the new entries, the text after the old entries.
int WriteAnew(const char* path, size_t size, EntrySpan span) {
  FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return kMsgSettingsOpen;
  bool ok = WriteBytes(file, FileImage, span.begin);
  ok = ok && WriteEntries(file);
  ok = ok && WriteBytes(file, FileImage + span.end, size - span.end);
  ok = std::fclose(file) == 0 && ok;
  return ok ? 0 : kMsgSettingsWrite;
}

}  // namespace

int SettingsPathFromCommandLine(const char* commandLine, char* path, size_t size) {
  if (path == nullptr || size == 0) return 0;
  path[0] = '\0';
  if (commandLine == nullptr) return 0;
  const char* begin = commandLine;
  while (*begin == ' ' || *begin == '\t') begin++;
  const char* end = begin;
  if (*begin == '"') {
    end = ++begin;
    while (*end != '\0' && *end != '"') end++;
  } else {
    while (*end != '\0' && *end != ' ' && *end != '\t') end++;
  }
  const char* lastBackslash = nullptr;
  for (const char* p = begin; p < end; p++) {
    if (*p == '\\') lastBackslash = p;
  }
  if (lastBackslash == nullptr) return 0;
  const size_t folderLength = static_cast<size_t>(lastBackslash + 1 - begin);
  if (folderLength >= size) return 0;
  const int n = std::snprintf(path, size, "%.*s%s%s", static_cast<int>(folderLength), begin,
                              kPluginsFolder, kSettingsFileName);
  if (n < 0 || static_cast<size_t>(n) >= size) {
    path[0] = '\0';  // a cut path would name another file
    return 0;
  }
  return 1;
}

int ReadSettingsFile(const char* path) {
  FILE* file = OpenOrCreate(path);
  if (file == nullptr) return kMsgSettingsOpen;
  const int result = LoadSection(file);
  std::fclose(file);
  return result;
}

int WriteSettingsFile(const char* path) {
  // "r+" first, so that a file we may not write fails before anything is changed.
  FILE* file = std::fopen(path, "r+b");
  if (file == nullptr) return kMsgSettingsOpen;
  EntrySpan span = {};
  size_t size = 0;
  int result = LocateEntries(file, &span);
  if (result == 0) result = ReadWholeFile(file, &size);
  std::fclose(file);
  if (result != 0) return result;
  if (span.end > size) return kMsgSettingsOpen;  // the file shrank between the two reads
  return WriteAnew(path, size, span);
}

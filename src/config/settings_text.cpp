// Finding, reading and writing the plug-in's section in the text of plugin.ini.
//
// The text is bytes: a NUL or a stray Ctrl-Z in another plug-in's lines is only a
// character, and offsets are kept so that the rewrite can keep everything around the
// section byte for byte.
#include "config/settings_text.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "base/ascii_text.h"
#include "base/bounded_text.h"
#include "config/settings.h"
#include "res/resource_ids.h"

namespace {

constexpr char kHeader[] = "[Quillbox]";
constexpr size_t kHeaderLength = sizeof kHeader - 1;
static_assert(kHeaderLength == 10);
constexpr char kComPortKey[] = "ComPort=";
constexpr char kLibDirKey[] = "LibDir=";
constexpr char kPlSaveDirKey[] = "PlSaveDir=";
constexpr char kDumpDirKey[] = "DumpDir=";

// A key of at most 10 characters and a value of at most 255, with room to spare.
constexpr size_t kEntrySize = kPathSize + 16;

// The characters that separate tokens (those of isspace in the C locale).
bool IsSeparator(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

struct Cursor {
  const char* text;
  size_t size;
  size_t at;
};

bool AtEnd(const Cursor& c) { return c.at >= c.size; }

void SkipSeparators(Cursor* c) {
  while (!AtEnd(*c) && IsSeparator(c->text[c->at])) c->at++;
}

// Just past the line break that ends the current line, or the end of the text.
void SkipLine(Cursor* c) {
  while (!AtEnd(*c) && c->text[c->at] != '\n') c->at++;
  if (!AtEnd(*c)) c->at++;
}

// At a line start: 1 when the line's first token begins with the header, with the
// cursor moved past that token.
int LineBeginsWithHeader(Cursor* c) {
  while (!AtEnd(*c) && IsBlank(c->text[c->at])) c->at++;
  if (c->size - c->at < kHeaderLength || std::memcmp(c->text + c->at, kHeader, kHeaderLength) != 0) return 0;
  while (!AtEnd(*c) && !IsSeparator(c->text[c->at])) c->at++;
  return 1;
}

// The next entry: blank lines are passed over, then the rest of the line is the entry,
// without the blanks at its end (the CR of a CR LF among them). A line longer than the
// buffer is cut, never split. 1 with an entry, 0 at the end of the text.
int NextEntry(Cursor* c, char (&entry)[kEntrySize]) {
  SkipSeparators(c);
  if (AtEnd(*c)) return 0;
  size_t n = 0;
  for (; !AtEnd(*c) && c->text[c->at] != '\n'; c->at++) {
    if (n + 1 < sizeof entry) entry[n++] = c->text[c->at];
  }
  if (!AtEnd(*c)) c->at++;
  while (n > 0 && IsSeparator(entry[n - 1])) n--;
  entry[n] = '\0';
  return 1;
}

bool StartsWith(const char* text, const char* prefix) {
  return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
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

// The length written, or 0 when the text did not fit (never a cut entry).
size_t Formatted(int n, size_t size) { return n < 0 || static_cast<size_t>(n) >= size ? 0 : static_cast<size_t>(n); }

// A UTF-8 byte-order mark, which some editors put in front of the first line.
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
constexpr size_t kUtf8MarkLength = sizeof kUtf8Mark - 1;

}  // namespace

int IsWideText(const char* text, size_t size) {
  if (size < 2) return 0;
  const auto first = static_cast<unsigned char>(text[0]);
  const auto second = static_cast<unsigned char>(text[1]);
  return (first == 0xFF && second == 0xFE) || (first == 0xFE && second == 0xFF);
}

int FindSectionHeader(const char* text, size_t size, size_t* afterHeader) {
  // The mark stays where it is, in front of the first line, which it must not hide.
  const bool marked = size >= kUtf8MarkLength && std::memcmp(text, kUtf8Mark, kUtf8MarkLength) == 0;
  const size_t start = marked ? kUtf8MarkLength : 0;
  for (Cursor c = {text, size, start}; !AtEnd(c); SkipLine(&c)) {
    if (LineBeginsWithHeader(&c)) {
      *afterHeader = c.at;
      return 1;
    }
  }
  return 0;
}

int LoadEntries(const char* text, size_t size, size_t afterHeader) {
  Cursor c = {text, size, afterHeader};
  char entry[kEntrySize];
  for (int i = 0; i < kMaxSettingsEntries && NextEntry(&c, entry); i++) {
    if (!ApplyEntry(entry)) return kMsgSettingsParse;
  }
  return 0;
}

size_t EntriesEnd(const char* text, size_t size, size_t afterHeader) {
  Cursor c = {text, size, afterHeader};
  size_t end = afterHeader;
  char entry[kEntrySize];
  for (int i = 0; i < kMaxSettingsEntries && NextEntry(&c, entry); i++) {
    if (std::strchr(entry, '=') == nullptr) break;  // not ours: it stays
    end = c.at;
  }
  return end;
}

size_t FormatEntries(char (&out)[kEntriesTextSize]) {
  const char* br = kSettingsLineBreak;
  const int n = std::snprintf(out, sizeof out, "%s%s%i%s%s%.255s%s%s%.255s%s%s%.255s%s", br, kComPortKey,
                              static_cast<int>(ComPort), br, kLibDirKey, CurrentFolder, br, kPlSaveDirKey,
                              PlaylistDir, br, kDumpDirKey, DumpDir, br);
  return Formatted(n, sizeof out);
}

size_t FormatFreshSection(char (&out)[kFreshSectionSize]) {
  size_t length = 0;
  for (const char* line : {"", kHeader, kComPortKey, kLibDirKey, kPlSaveDirKey, kDumpDirKey}) {
    const size_t n = Formatted(std::snprintf(out + length, sizeof out - length, "%s%s", line, kSettingsLineBreak),
                               sizeof out - length);
    if (n == 0) return 0;
    length += n;
  }
  return length;
}

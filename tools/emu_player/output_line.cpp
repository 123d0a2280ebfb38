#include "output_line.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

// Keeps room for the closing "\n" that EmitLine adds.
size_t Room(const TextLine& line) { return kLineCapacity - 1 - line.used; }

void AppendBytes(TextLine& line, const char* text, size_t length) {
  size_t take = length < Room(line) ? length : Room(line);
  std::memcpy(line.text + line.used, text, take);
  line.used += take;
}

// Control characters would split or garble the line: they show as '?'.
void AppendClean(TextLine& line, const char* text, size_t limit) {
  if (text == nullptr) return;
  for (size_t i = 0; i < limit && text[i] != '\0' && Room(line) > 0; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    line.text[line.used++] = (c < 0x20 || c == 0x7F) ? '?' : static_cast<char>(c);
  }
}

void AppendNumber(TextLine& line, int64_t value) {
  char digits[32];
  int length = std::snprintf(digits, sizeof digits, "%" PRId64, value);
  if (length > 0) AppendBytes(line, digits, static_cast<size_t>(length));
}

}  // namespace

void LineBegin(TextLine& line, const char* word) {
  line.used = 0;
  AppendClean(line, word, kFieldLimit);
}

void LineTab(TextLine& line, const char* text) {
  AppendBytes(line, "\t", 1);
  AppendClean(line, text, kFieldLimit);
}

void LineNumber(TextLine& line, int64_t value) {
  AppendBytes(line, "\t", 1);
  AppendNumber(line, value);
}

void LineKey(TextLine& line, const char* key, const char* value) {
  LineKeyBounded(line, key, value, kFieldLimit);
}

void LineKeyBounded(TextLine& line, const char* key, const char* value, size_t limit) {
  AppendBytes(line, "\t", 1);
  AppendClean(line, key, kFieldLimit);
  AppendBytes(line, "=", 1);
  AppendClean(line, value, limit < kFieldLimit ? limit : kFieldLimit);
}

void LineKeyNumber(TextLine& line, const char* key, int64_t value) {
  AppendBytes(line, "\t", 1);
  AppendClean(line, key, kFieldLimit);
  AppendBytes(line, "=", 1);
  AppendNumber(line, value);
}

void LineAppendLine(TextLine& line, const TextLine& more) {
  AppendBytes(line, more.text, more.used);
}

void EmitLine(TextLine& line) {
  line.text[line.used] = '\n';
  std::fwrite(line.text, 1, line.used + 1, stdout);
  std::fflush(stdout);
}

void EmitOk(const char* name) {
  TextLine line;
  LineBegin(line, "ok");
  LineTab(line, name);
  EmitLine(line);
}

void EmitError(const char* format, ...) {
  char text[512];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  TextLine line;
  LineBegin(line, "err");
  LineTab(line, text);
  EmitLine(line);
}

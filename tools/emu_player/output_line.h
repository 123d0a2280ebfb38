// Building and writing the player's answer lines on standard output.
// Fields are TAB-separated; text from outside is cleaned so that one answer stays one line.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr size_t kLineCapacity = 16384;
constexpr size_t kFieldLimit = 1024;  // longest text copied from a plug-in pointer

struct TextLine {
  char text[kLineCapacity];
  size_t used;
};

void LineBegin(TextLine& line, const char* word);
void LineTab(TextLine& line, const char* text);                         // TAB, cleaned text
void LineNumber(TextLine& line, int64_t value);                         // TAB, decimal
void LineKey(TextLine& line, const char* key, const char* value);       // TAB key=value
void LineKeyBounded(TextLine& line, const char* key, const char* value, size_t limit);
void LineKeyNumber(TextLine& line, const char* key, int64_t value);
void LineAppendLine(TextLine& line, const TextLine& more);  // as built, no cleaning

// One write of the line and its "\n", then a flush: the reader is a pipe.
void EmitLine(TextLine& line);
void EmitOk(const char* name);
void EmitError(const char* format, ...) __attribute__((format(printf, 1, 2)));

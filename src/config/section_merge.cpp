// Sections are found by their header lines only: what lies between them is copied as
// bytes, so another plug-in's text comes back exactly as it stood.
#include "config/section_merge.h"

#include <cstring>

namespace {

struct Span {
  size_t begin;
  size_t end;
};

size_t LineEnd(const char* text, size_t size, size_t at) {
  while (at < size && text[at] != '\n') at++;
  return at < size ? at + 1 : size;
}

// The name of the section whose header is the line at at: the bytes between "[" and
// "]", or an empty span when the line is no header.
Span HeaderName(const char* text, size_t size, size_t at) {
  const size_t end = LineEnd(text, size, at);
  while (at < end && (text[at] == ' ' || text[at] == '\t')) at++;
  if (at == end || text[at] != '[') return Span{0, 0};
  const void* close = std::memchr(text + at, ']', end - at);
  if (close == nullptr) return Span{0, 0};
  return Span{at + 1, static_cast<size_t>(static_cast<const char*>(close) - text)};
}

// A header's name begins past its "[", so never at 0.
bool IsHeader(const Span& name) { return name.begin != 0; }

char Folded(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameName(const char* a, Span x, const char* b, Span y) {
  if (x.end - x.begin != y.end - y.begin) return false;
  for (size_t i = 0; i < x.end - x.begin; i++) {
    if (Folded(a[x.begin + i]) != Folded(b[y.begin + i])) return false;
  }
  return true;
}

bool HasSection(const char* text, size_t size, const char* other, Span name) {
  for (size_t at = 0; at < size; at = LineEnd(text, size, at)) {
    const Span own = HeaderName(text, size, at);
    if (IsHeader(own) && SameName(text, own, other, name)) return true;
  }
  return false;
}

// Where the section whose header line begins at at ends: at the next header or the end.
size_t SectionEnd(const char* text, size_t size, size_t at) {
  for (at = LineEnd(text, size, at); at < size; at = LineEnd(text, size, at)) {
    if (IsHeader(HeaderName(text, size, at))) return at;
  }
  return size;
}

bool Append(char* text, size_t* size, size_t room, const char* bytes, size_t length) {
  if (length > room - *size) return false;
  std::memcpy(text + *size, bytes, length);
  *size += length;
  return true;
}

}  // namespace

size_t AppendMissingSections(char* text, size_t size, size_t room, const char* older, size_t olderSize) {
  size_t at = 0;
  while (at < olderSize) {
    const Span name = HeaderName(older, olderSize, at);
    if (!IsHeader(name)) {
      at = LineEnd(older, olderSize, at);
      continue;
    }
    const size_t end = SectionEnd(older, olderSize, at);
    if (!HasSection(text, size, older, name)) {
      const bool broken = size > 0 && text[size - 1] != '\n';
      if (broken && !Append(text, &size, room, "\r\n", 2)) return 0;
      if (!Append(text, &size, room, older + at, end - at)) return 0;
    }
    at = end;
  }
  return size;
}

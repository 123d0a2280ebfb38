#include "files/path_chars.h"

#include <cstring>

#include "files/file_system.h"

const char* NextPathChar(const char* text) {
  if (IsPathLeadByte(text[0]) && text[1] != '\0') return text + 2;
  return text + 1;
}

const char* LastBackslash(const char* path) {
  const char* last = nullptr;
  for (const char* at = path; *at != '\0'; at = NextPathChar(at)) {
    if (*at == '\\') last = at;
  }
  return last;
}

bool EndsWithBackslash(const char* path) {
  const char* last = LastBackslash(path);
  return last != nullptr && last[1] == '\0';
}

const char* FindPathChar(const char* text, const char* set) {
  for (const char* at = text; *at != '\0'; at = NextPathChar(at)) {
    if (std::strchr(set, *at) != nullptr) return at;
  }
  return nullptr;
}

#include "files/plain_path.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr char kLongPrefix[] = "\\\\?\\";
constexpr char kLongUncPrefix[] = "\\\\?\\UNC\\";

bool StartsWith(const char* text, const char* prefix) { return std::strncmp(text, prefix, std::strlen(prefix)) == 0; }

bool Put(char* out, size_t size, const char* first, const char* rest) {
  const size_t limit = size < kNarrowPathSize ? size : kNarrowPathSize;
  if (std::strlen(first) + std::strlen(rest) >= limit) return false;
  std::snprintf(out, size, "%s%s", first, rest);
  return true;
}

}  // namespace

bool PlainPathOf(const char* name, char* out, size_t size) {
  if (StartsWith(name, kLongUncPrefix)) return Put(out, size, "\\\\", name + std::strlen(kLongUncPrefix));
  if (StartsWith(name, kLongPrefix)) return Put(out, size, "", name + std::strlen(kLongPrefix));
  return false;
}

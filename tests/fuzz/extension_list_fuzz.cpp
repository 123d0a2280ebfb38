// Whatever the player's settings file holds, reading the extensions stays inside the token
// buffer and the 200 slots of 10 bytes, and ends with one of its own results.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "browse/extension_list.h"
#include "browse/slot_tables.h"

namespace {

constexpr char kKey[] = "config_extlist=";
constexpr size_t kRepeats = 16;

// The first byte shapes the file: bit 0 puts the key in front, so that values get explored
// without the fuzzer first having to find the key's 15 characters by chance; bit 1 repeats
// the rest 16 times, so that tokens past the 1,023-character buffer come up early.
size_t MakeFile(const uint8_t* data, size_t size, char* content) {
  size_t used = 0;
  if (data[0] & 1) {
    std::memcpy(content, kKey, sizeof kKey - 1);
    used = sizeof kKey - 1;
  }
  const size_t times = (data[0] & 2) ? kRepeats : 1;
  for (size_t i = 0; i < times; i++) {
    std::memcpy(content + used, data + 1, size - 1);
    used += size - 1;
  }
  return used;
}

void Check(int result) {
  if (result != 0 && result != 2 && result != 3 && result != 6) std::abort();
  if (result == 0 && (ExtensionCount == 0 || ExtensionCount > kExtensionSlots)) std::abort();
  if (result != 0 && ExtensionCount != 0) std::abort();
  for (uint32_t i = 0; i < ExtensionCount; i++) {
    if (strnlen(ExtensionTable[i], kExtensionSlotSize) == kExtensionSlotSize) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const int created = CreateSlotTables();
  if (!created || size < 2) return 0;
  char* content = static_cast<char*>(std::malloc(size * kRepeats + sizeof kKey));
  const size_t length = MakeFile(data, size, content);
  std::FILE* file = fmemopen(content, length, "r");
  if (file != nullptr) {
    Check(ReadExtensionList(file));
    std::fclose(file);
  }
  std::free(content);
  return 0;
}

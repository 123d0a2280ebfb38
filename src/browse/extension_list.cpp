// Reads "config_extlist" from the player's settings file into the ExtensionTable.
//
// The file is read token by token, a token being a run of non-whitespace characters, so
// sections and lines mean nothing here: the first token that begins with the key is
// the one used, and the key, its "=" and its value must stand together in it.
#include "browse/extension_list.h"

#include <cstring>

#include "browse/slot_tables.h"
#include "res/resource_ids.h"
#include "host/host_catalogue.h"

uint32_t ExtensionCount = 0;

namespace {

constexpr char kKey[] = "config_extlist";
constexpr size_t kKeyLength = sizeof kKey - 1;
static_assert(kKeyLength == 14);

bool IsBlank(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Reads the next token into token; 0 when the file ends first. A token longer than the
// buffer keeps its first 1,023 characters and the rest of it is read and dropped here,
// so that its tail is never taken for a token of its own.
int ReadToken(std::FILE* file, char (&token)[kTokenBufferSize]) {
  int c = std::fgetc(file);
  while (c != EOF && IsBlank(c)) c = std::fgetc(file);
  if (c == EOF) return 0;
  size_t length = 0;
  for (; c != EOF && !IsBlank(c); c = std::fgetc(file)) {
    if (length < kTokenBufferSize - 1) token[length++] = static_cast<char>(c);
  }
  token[length] = '\0';
  return 1;
}

// A piece longer than 9 characters keeps its first 9: the slot has room for no more.
void StorePiece(const char* piece, size_t length) {
  char* slot = ExtensionTable[ExtensionCount];
  const size_t kept = length < kExtensionSlotSize - 1 ? length : kExtensionSlotSize - 1;
  std::memset(slot, 0, kExtensionSlotSize);
  std::memcpy(slot, piece, kept);
  ExtensionCount++;
}

// Splits the value at every ":"; empty pieces are stored too, and at most 200 of them.
void StoreExtensions(const char* value) {
  ExtensionCount = 0;
  const char* piece = value;
  while (ExtensionCount < kExtensionSlots) {
    const char* colon = std::strchr(piece, ':');
    StorePiece(piece, colon != nullptr ? static_cast<size_t>(colon - piece) : std::strlen(piece));
    if (colon == nullptr) break;
    piece = colon + 1;
  }
}

}  // namespace

int ReadExtensionList(std::FILE* file) {
  ExtensionCount = 0;
  char token[kTokenBufferSize];
  do {
    if (!ReadToken(file, token)) return kMsgNoExtensionKey;
  } while (std::strncmp(token, kKey, kKeyLength) != 0);
  const char* equals = std::strchr(token, '=');
  if (equals == nullptr) return kMsgExtensionsUnparsed;
  // Without the tables there is nowhere to store anything.
  if (ExtensionTable != nullptr) StoreExtensions(equals + 1);
  return ExtensionCount == 0 ? kMsgNoExtensions : 0;
}

int LoadExtensionList() {
  ExtensionCount = 0;
  const char* path = HostIniPath();
  if (path == nullptr) return kMsgNoIniPath;
  std::FILE* file = std::fopen(path, "r");
  if (file == nullptr) return kMsgIniUnreadable;
  const int result = ReadExtensionList(file);
  std::fclose(file);
  return result;
}

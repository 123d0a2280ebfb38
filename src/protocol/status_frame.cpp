// Builds the status payload from the player's state.
#include "protocol/status_frame.h"

#include <cstring>

#include "config/settings.h"
#include "files/path_chars.h"
#include "host/host_catalogue.h"

uint8_t TimeDisplayMode = 0;
uint8_t StatusBlock[kStatusBlockSize] = {};

namespace {

// Field offsets within the status block (payload offset minus 4).
constexpr uint32_t kBlockOffset = 4;
constexpr uint32_t kPlayStateAt = 4 - kBlockOffset;
constexpr uint32_t kShuffleAt = 5 - kBlockOffset;
constexpr uint32_t kMinutesAt = 6 - kBlockOffset;
constexpr uint32_t kSecondsAt = 7 - kBlockOffset;
constexpr uint32_t kLengthAt = 8 - kBlockOffset;
constexpr uint32_t kPositionAt = 10 - kBlockOffset;
constexpr uint32_t kTitleAt = kTitleField - kBlockOffset;
constexpr uint32_t kFolderAt = kFolderField - kBlockOffset;

// The host writes the current entry's title here. Cleared before every query, so an
// entry the host knows no title for shows none instead of the previous song's.
char TitleBuffer[kTextFieldSize];

void PutHighFirst(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value >> 8);
  at[1] = static_cast<uint8_t>(value);
}

// Copies at most 39 characters; the field's last byte stays the NUL.
void PutText(uint8_t* field, const char* text) {
  const size_t n = strnlen(text, kTextFieldSize - 1);
  std::memcpy(field, text, n);
}

void FillTitleField(uint8_t* field, uint32_t playlistPosition) {
  std::memset(TitleBuffer, 0, sizeof TitleBuffer);
  const char* path = HostPlaylistFile(static_cast<int32_t>(playlistPosition));
  // The host has no path for an entry it does not have; asking it about a null path
  // would hand it nothing to look up.
  if (path != nullptr && path[0] != '\0') HostGetTag(path, "TITLE", TitleBuffer, sizeof TitleBuffer);
  TitleBuffer[sizeof TitleBuffer - 1] = '\0';
  PutText(field, TitleBuffer);
}

}  // namespace

void ResetStatusBlock() {
  std::memset(StatusBlock, 0, sizeof StatusBlock);
  StatusBlock[kPlayStateAt] = kStateStopped;
}

uint8_t MapPlayState(int32_t hostState) {
  if (hostState == kHostPaused) return kStatePaused;
  if (hostState == kHostStopped) return kStateStopped;
  return kStatePlaying;  // 1, and whatever else the host may answer
}

void FillTimeFields(uint8_t* minutes, uint8_t* seconds, int32_t elapsedMs, int32_t trackSeconds, uint8_t mode) {
  // 64 bits: a track length of a few million seconds must not overflow the product.
  const int64_t t = elapsedMs;
  if (mode == 0) {
    *minutes = static_cast<uint8_t>(t / 60000);
    *seconds = static_cast<uint8_t>((t % 60000) / 1000);
    return;
  }
  // The panel shows the remaining time as negative numbers: 3:05 left is -3, -5.
  const int64_t r = static_cast<int64_t>(trackSeconds) * 1000 - t;
  *minutes = static_cast<uint8_t>(r / -60000);
  *seconds = static_cast<uint8_t>((r % 60000) / -1000);
}

// By characters: a name's second byte may be that of a backslash.
const char* CurrentFolderName(const char* folder) {
  if (folder[0] == '\0') return nullptr;
  const char* at = folder[0] == '\\' ? folder : nullptr;
  for (const char* c = NextPathChar(folder); *c != '\0'; c = NextPathChar(c)) {
    if (*c == '\\' && *NextPathChar(c) != '\0') at = c;
  }
  return at;
}

void FillFolderField(uint8_t field[kTextFieldSize], const char* folder) {
  std::memset(field, 0, kTextFieldSize);
  const char* name = CurrentFolderName(folder);
  if (name == nullptr) return;
  const size_t n = std::strlen(name);
  if (n < kTextFieldSize) {
    std::memcpy(field, name, n);
    return;
  }
  // Too long for the field: keep its beginning, whole characters only, and close it with
  // the backslash, so the panel still sees a folder name in its usual form.
  size_t kept = 0;
  for (const char* c = name; static_cast<size_t>(NextPathChar(c) - name) <= kTextFieldSize - 2; c = NextPathChar(c)) {
    kept = static_cast<size_t>(NextPathChar(c) - name);
  }
  std::memcpy(field, name, kept);
  field[kept] = '\\';
}

void BuildStatusPayload(uint8_t payload[kStatusPayloadSize], int32_t playlistLength, uint32_t playlistPosition) {
  std::memset(StatusBlock, 0, sizeof StatusBlock);
  StatusBlock[kPlayStateAt] = MapPlayState(HostPlayState());
  StatusBlock[kShuffleAt] = static_cast<uint8_t>(HostShuffle());
  const int32_t elapsed = HostElapsedMs();
  if (elapsed != -1) {
    const int32_t length = TimeDisplayMode == 1 ? HostTrackSeconds() : 0;
    FillTimeFields(&StatusBlock[kMinutesAt], &StatusBlock[kSecondsAt], elapsed, length, TimeDisplayMode);
  }
  PutHighFirst(&StatusBlock[kPositionAt], playlistPosition);
  if (playlistLength > 0) FillTitleField(&StatusBlock[kTitleAt], playlistPosition);
  PutHighFirst(&StatusBlock[kLengthAt], playlistLength > 0 ? static_cast<uint32_t>(playlistLength) : 0);
  FillFolderField(&StatusBlock[kFolderAt], CurrentFolder);

  std::memset(payload, 0, kStatusPayloadSize);
  payload[0] = 'B';
  std::memcpy(payload + 4, StatusBlock, sizeof StatusBlock);
}

// The start-up dialog's rules, written without windows so that they are tested natively.
#include "config/dialog_rules.h"

#include <cstdio>
#include <cstring>

#include "base/bounded_text.h"
#include "config/settings.h"
#include "files/path_chars.h"
#include "serial/serial_port.h"

int32_t Countdown = kCountdownStart;

namespace {

constexpr char kPlaylistsFolder[] = "QB_Playlists\\";
constexpr char kDumpedFolder[] = "QB_Dumped\\";
static_assert(kMusicFolderLimit + sizeof kPlaylistsFolder <= kPathSize);

void JoinBounded(char* destination, size_t size, const char* folder, const char* name) {
  std::snprintf(destination, size, "%.*s%s", static_cast<int>(kPathSize - 1), folder, name);
}

int64_t Clamp(int64_t value, int64_t low, int64_t high) {
  if (value > high) value = high;
  if (value < low) value = low;  // low wins: a rectangle too large keeps its top left
  return value;
}

}  // namespace

void AddBackslash(char* path, size_t size) {
  const size_t length = std::strlen(path);
  if (length == 0 || EndsWithBackslash(path) || length + 2 > size) return;
  path[length] = '\\';
  path[length + 1] = '\0';
}

void SetMusicFolder(const char* text) {
  CopyBounded(CurrentFolder, sizeof CurrentFolder, text, kMusicFolderChars);
  AddBackslash(CurrentFolder, sizeof CurrentFolder);
  JoinBounded(PlaylistDir, sizeof PlaylistDir, CurrentFolder, kPlaylistsFolder);
  JoinBounded(DumpDir, sizeof DumpDir, CurrentFolder, kDumpedFolder);
}

bool MusicFolderFits(const char* text) {
  const size_t length = std::strlen(text);
  const bool hasBackslash = EndsWithBackslash(text);
  return length + (hasBackslash ? 0 : 1) <= kMusicFolderLimit;
}

bool TakeMusicFolder(const char* text) {
  if (!MusicFolderFits(text)) return false;
  CopyBounded(CurrentFolder, sizeof CurrentFolder, text, kMusicFolderChars);
  AddBackslash(CurrentFolder, sizeof CurrentFolder);
  std::memcpy(LibraryRoot, CurrentFolder, sizeof LibraryRoot);
  return true;
}

bool ValidComPort(int32_t port) { return port >= 1 && static_cast<uint32_t>(port) <= kMaxComPort; }

ScreenRect BesideHost(ScreenRect dialog, ScreenRect host) {
  const int64_t width = int64_t{dialog.right} - dialog.left;
  const int64_t right = int64_t{host.left} - kHostGap;
  const int64_t left = right - width;
  return ScreenRect{static_cast<int32_t>(left), dialog.top, static_cast<int32_t>(right), dialog.bottom};
}

ScreenRect KeepOnWorkArea(ScreenRect rect, ScreenRect workArea) {
  const int64_t width = int64_t{rect.right} - rect.left;
  const int64_t height = int64_t{rect.bottom} - rect.top;
  const int64_t left = Clamp(rect.left, workArea.left, workArea.right - width);
  const int64_t top = Clamp(rect.top, workArea.top, workArea.bottom - height);
  return ScreenRect{static_cast<int32_t>(left), static_cast<int32_t>(top),
                    static_cast<int32_t>(left + width), static_cast<int32_t>(top + height)};
}

void StartCountdown() { Countdown = kCountdownStart; }

int CountdownTick() {
  const int32_t shown = Countdown;
  Countdown--;
  if (shown > 0) return 1;
  Countdown = kCountdownStart;
  return 0;
}

void FormatCountdown(const char* message, int32_t seconds, char* out, size_t size) {
  if (size == 0) return;
  const char* mark = std::strstr(message, "%i");
  if (mark == nullptr) {
    std::snprintf(out, size, "%s", message);
    return;
  }
  std::snprintf(out, size, "%.*s%d%s", static_cast<int>(mark - message), message,
                static_cast<int>(seconds), mark + 2);
}

// The host catalogue as window messages. Everything here is a synchronous SendMessageA:
// a tick waits until the player's window procedure has answered.
#include "host/host_catalogue.h"

#include <cstring>

#include "host/host_windows_win.h"

namespace {

HWND PlaylistWindow = nullptr;  // asked for once at start-up

constexpr UINT kLibraryMessage = WM_USER + 0x1000;

LRESULT ToMain(WPARAM argument, LPARAM code) { return SendMessageA(HostMainWindow(), WM_USER, argument, code); }
LRESULT ToPlaylist(WPARAM code, LPARAM argument) { return SendMessageA(PlaylistWindow, WM_USER, code, argument); }
LRESULT ToLibrary(void* record, LPARAM code) {
  return SendMessageA(LibraryWindow(), kLibraryMessage, reinterpret_cast<WPARAM>(record), code);
}
int32_t ToInt(LRESULT r) { return static_cast<int32_t>(r); }

}  // namespace

void HostClearPlaylist() { ToMain(0, 101); }
int32_t HostPlayState() { return ToInt(ToMain(0, 104)); }
int32_t HostElapsedMs() { return ToInt(ToMain(0, 105)); }
int32_t HostTrackSeconds() { return ToInt(ToMain(1, 105)); }
void HostSetPlaylistPosition(int32_t index) { ToMain(static_cast<WPARAM>(index), 121); }
void HostSetVolume(int32_t volume) { ToMain(static_cast<WPARAM>(volume), 122); }
int32_t HostPlaylistLength() { return ToInt(ToMain(0, 124)); }
int32_t HostPlaylistPosition() { return ToInt(ToMain(0, 125)); }
const char* HostPlaylistFile(int32_t index) {
  return reinterpret_cast<const char*>(ToMain(static_cast<WPARAM>(index), 211));
}
int32_t HostShuffle() { return ToInt(ToMain(0, 250)); }
void HostSetShuffle(int32_t on) { ToMain(static_cast<WPARAM>(on), 252); }
void HostLocatePlaylistWindow() { PlaylistWindow = reinterpret_cast<HWND>(ToMain(1, 260)); }

void HostGetTag(const char* path, const char* tag, char* destination, uint32_t size) {
  TagRequest request = {path, tag, destination, size};
  ToMain(reinterpret_cast<WPARAM>(&request), 296);
}

const char* HostIniPath() { return reinterpret_cast<const char*>(ToMain(0, 334)); }

void HostPress(HostButton button) { SendMessageA(HostMainWindow(), WM_COMMAND, button, 0); }

void HostEnqueueFile(const char* path) {
  COPYDATASTRUCT data = {100, static_cast<DWORD>(std::strlen(path) + 1), const_cast<char*>(path)};
  SendMessageA(HostMainWindow(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

void HostDeletePlaylistEntry(int32_t index) { ToPlaylist(104, index); }
void HostSwapPlaylistEntries(int32_t a, int32_t b) { ToPlaylist(105, static_cast<LPARAM>(a) * 65536 + b); }
int32_t HostPlaylistChanged() { return ToInt(ToPlaylist(107, 0)); }
void HostMarkPlaylistClean() { ToPlaylist(108, 0); }

void HostFileInfo(LibraryItem* item) { ToLibrary(item, 0x200); }
void HostFileInfoRelease(LibraryItem* item) { ToLibrary(item, 0x201); }
int32_t HostLibrarySearch(LibraryQuery* query) { return ToInt(ToLibrary(query, 0x701)); }
void HostLibraryRelease(LibraryQuery* query) { ToLibrary(query, 0x705); }

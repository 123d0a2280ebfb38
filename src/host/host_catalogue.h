// Every message the plug-in sends to the player, one procedure each.
//
// The player is driven only through synchronous window messages to its main window,
// its playlist window and its media-library window. Nothing else in the plug-in names
// a window or a message code: the DLL links host_catalogue_win.cpp, the native tests
// link a fake that records each call and answers from a scripted model.
#pragma once
#include <cstdint>

// The player's button commands (WM_COMMAND ids to the main window).
enum HostButton : uint32_t {
  kButtonPrevious = 40044,
  kButtonPlay = 40045,
  kButtonPause = 40046,  // pressed again, resumes
  kButtonStop = 40047,
  kButtonNext = 40048,
};

// Answers of HostPlayState().
constexpr int32_t kHostPlaying = 1;
constexpr int32_t kHostPaused = 3;
constexpr int32_t kHostStopped = 0;

// The extended-information request: four 32-bit fields on the player's side.
struct TagRequest {
  const char* path;
  const char* tag;   // "TITLE", "ARTIST" or "YEAR"
  char* destination;
  uint32_t size;     // bytes the player may write, terminator included
};

// A media-library search; the player fills the last three fields.
struct LibraryItem;
struct LibraryQuery {
  const char* query;
  int32_t maxResults;
  LibraryItem* results;
  int32_t resultCount;
  int32_t allocated;
};

// One search result, or the record of a file-information request: ten 32-bit fields.
struct LibraryItem {
  const char* path;      // field 0
  const char* title;     // field 1
  int32_t unused[6];     // fields 2 to 7
  int32_t lengthSeconds; // field 8
  char** extendedInfo;   // field 9: "name\0value\0" texts, ending with a null address
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(TagRequest) == 16);
static_assert(sizeof(LibraryQuery) == 20);
static_assert(sizeof(LibraryItem) == 40);
#endif

// Main window, WM_USER, code in lParam.
void HostClearPlaylist();                           // 101
int32_t HostPlayState();                            // 104: 1 playing, 3 paused, 0 stopped
int32_t HostElapsedMs();                            // 105, wParam 0: -1 when nothing plays
int32_t HostTrackSeconds();                         // 105, wParam 1
void HostSetPlaylistPosition(int32_t index);        // 121
void HostSetVolume(int32_t volume);                 // 122, 0..255
int32_t HostPlaylistLength();                       // 124
int32_t HostPlaylistPosition();                     // 125
const char* HostPlaylistFile(int32_t index);        // 211: player-owned, may be null
int32_t HostShuffle();                              // 250
void HostSetShuffle(int32_t on);                    // 252
void HostLocatePlaylistWindow();                    // 260: keeps the answer for the playlist codes
void HostGetTag(const char* path, const char* tag, char* destination, uint32_t size);  // 296
const char* HostIniPath();                          // 334: player-owned, may be null

// Main window, WM_COMMAND and WM_COPYDATA.
void HostPress(HostButton button);
void HostEnqueueFile(const char* path);             // appends to the playlist

// Playlist window, WM_USER, code in wParam.
void HostDeletePlaylistEntry(int32_t index);        // 104
void HostSwapPlaylistEntries(int32_t a, int32_t b); // 105
int32_t HostPlaylistChanged();                      // 107: non-zero since the last 108
void HostMarkPlaylistClean();                       // 108

// Media-library window, message 0x1400, code in lParam.
void HostFileInfo(LibraryItem* item);               // 0x200
void HostFileInfoRelease(LibraryItem* item);        // 0x201
int32_t HostLibrarySearch(LibraryQuery* query);     // 0x701: non-zero on success
void HostLibraryRelease(LibraryQuery* query);       // 0x705

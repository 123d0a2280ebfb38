// The start-up dialog's checks and computations, apart from its controls: the folders
// derived from the music folder, the placement beside the host window, the countdown.
#pragma once
#include <cstddef>
#include <cstdint>

// The music folder edit is read up to this many characters, so that the music folder,
// its backslash and "QB_Playlists\" always fit a 255-character setting.
constexpr size_t kMusicFolderChars = 199;
// The one limit of the music folder, held by what Start stores and by what the dialog
// accepts from the file when it opens: the edit's 199 characters and the backslash.
constexpr size_t kMusicFolderLimit = kMusicFolderChars + 1;
constexpr int32_t kCountdownStart = 4;
constexpr int32_t kHostGap = 20;  // pixels between the dialog's right edge and the host window

// Seconds shown before the dialog closes by itself.
extern int32_t Countdown;

// Appends a backslash unless the path is empty or already ends with one; a full
// buffer is left as it is.
void AddBackslash(char* path, size_t size);

// CurrentFolder from the text of the music folder edit (its first 199 characters and a
// backslash), PlaylistDir and DumpDir from it: "QB_Playlists\" and "QB_Dumped\" inside.
void SetMusicFolder(const char* text);

// A music folder text that can be kept whole, with its derived folders: with the
// backslash added unless it has one, at most kMusicFolderLimit characters. Such a text
// also comes back whole from the edit's 199 characters and the backslash.
bool MusicFolderFits(const char* text);

// Start's reading of the music folder edit: CurrentFolder and LibraryRoot become the
// text with a backslash. False, and neither touched, when the text does not fit, so that
// a cut folder is never kept.
bool TakeMusicFolder(const char* text);

// 1 to 255: COM1 to COM255. 0 (also what a setting of text reads as), negative values
// and larger ones name no port.
bool ValidComPort(int32_t port);

struct ScreenRect {
  int32_t left, top, right, bottom;
};

// The dialog moved so that its right edge ends kHostGap pixels left of the host window,
// at its own height and size.
ScreenRect BesideHost(ScreenRect dialog, ScreenRect host);

// The rectangle moved the least distance that keeps it wholly inside the work area;
// one larger than the work area keeps its top left corner on it.
ScreenRect KeepOnWorkArea(ScreenRect rect, ScreenRect workArea);

// Puts Countdown at its start value.
void StartCountdown();

// One second of the countdown: 1 while it goes on (Countdown holds the seconds to show,
// 3 down to 0), 0 when it has run out: Countdown is back at its start value and the
// dialog closes.
int CountdownTick();

// The countdown message with its "%i" replaced by the seconds, cut to the buffer; the
// text is never used as a format, so a stray "%" in it is only a character.
void FormatCountdown(const char* message, int32_t seconds, char* out, size_t size);

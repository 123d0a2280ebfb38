// The plug-in's section of plugin.ini: where the file is, and reading and rewriting the
// section. The text handling works on a path with standard I/O and builds natively; the
// three calls at the bottom take the path from the process command line (Win32 only).
//
// The section, as written on Windows (CR LF line breaks):
//   [Quillbox]
//   ComPort=2                              (the port, 1 to 3)
//   LibDir=C:\My Music\                    (the music folder)
//   PlSaveDir=C:\My Music\QB_Playlists\   (saved playlists)
//   DumpDir=C:\My Music\QB_Dumped\        (dumped songs)
//
// The header is found as a blank-separated token. Each entry after it is one line: the
// value runs to the end of its line, so a folder with blanks reads back whole.
#pragma once
#include <cstddef>

constexpr size_t kSettingsPathSize = 512;
// The rewrite holds the whole file in memory; a larger plugin.ini is left untouched
// and the rewrite answers message 16.
constexpr size_t kSettingsFileLimit = 256 * 1024;
constexpr int kMaxSettingsEntries = 4;

// The settings file beside the host program: its folder + "Plugins\" + "plugin.ini".
// The program path comes first in the command line, in double quotes or, when a parent
// started the player without them, up to the first blank. Returns 1, or 0 (and an empty
// path) when there is no command line, the program path holds no backslash or the
// result does not fit.
int SettingsPathFromCommandLine(const char* commandLine, char* path, size_t size);

// Finds the section (appending a fresh, empty one when it is missing, creating the file
// when it does not exist) and loads ComPort, LibraryRoot, CurrentFolder, PlaylistDir and
// DumpDir from it. Returns 0, or message 13 (cannot open or create), 14 (an entry without
// "=": the entries before it stay loaded) or 16 (the fresh section could not be written).
int ReadSettingsFile(const char* path);

// Replaces the section's entries with ComPort, CurrentFolder (as the music folder),
// PlaylistDir and DumpDir, keeping every byte before them and after the old entries.
// Returns 0, or message 13 (cannot open or read), 16 (cannot write, or the file is
// larger than kSettingsFileLimit) or 18 (the header is gone).
int WriteSettingsFile(const char* path);

// The same three with the path of the running process (settings_path_win.cpp).
int SettingsFilePath(char* path, size_t size);
int ReadSettings();   // 0, or message 13 to 16
int WriteSettings();  // 0, or message 13, 15, 16 or 18

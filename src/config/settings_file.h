// The plug-in's section of plugin.ini: where the file is, and reading and rewriting the
// section. Reading and rewriting go through the file-system seam (files/file_system.h)
// and build natively; the three calls at the bottom take the path from the running
// process (Win32 only).
//
// The section, as the plug-in writes it (CR LF line breaks):
//   [Quillbox]
//   ComPort=2                              (the port, 1 to 255)
//   LibDir=C:\My Music\                    (the music folder)
//   PlSaveDir=C:\My Music\QB_Playlists\   (saved playlists)
//   DumpDir=C:\My Music\QB_Dumped\        (dumped songs)
//
// The header counts only at the start of a line. Each entry after it is one line: the
// value runs to the end of its line, so a folder with blanks reads back whole.
#pragma once
#include <cstddef>

constexpr size_t kSettingsPathSize = 512;
// The file is read whole into memory: a larger plugin.ini is neither read (message 13)
// nor rewritten (message 16), and is left untouched.
constexpr size_t kSettingsFileLimit = 256 * 1024;

// The settings file beside the host program: its folder + "Plugins\" + "plugin.ini".
// The program path is the quoted start of the command line; when a parent started the
// player without the quotes, it is moduleFileName (the process's own module file name)
// instead. Returns 1, or 0 (and an empty path) when there is no command line, no
// program path, the program path holds no backslash or the result does not fit.
int SettingsPathFromCommandLine(const char* commandLine, const char* moduleFileName, char* path, size_t size);

// Finds the section (appending a fresh, empty one when it is missing, creating the file
// when it does not exist, taking plugin.ini.qbold as the file when a replace failed after
// moving the old one there) and loads ComPort, LibraryRoot, CurrentFolder, PlaylistDir
// and DumpDir from it. Returns 0, or message 13 (cannot read, create or hold the file, or
// it is UTF-16 text), 14 (an entry without "=": the entries before it stay loaded) or 16
// (the fresh section could not be written; the file is as it was). A UTF-8 byte-order
// mark is passed over and kept.
int ReadSettingsFile(const char* path);

// Replaces the section's entries with ComPort, CurrentFolder (as the music folder),
// PlaylistDir and DumpDir, keeping every byte before them and after the old entries.
// Returns 0, or message 13 (the file is gone, cannot be read or is UTF-16 text), 16
// (cannot write, the file is larger than kSettingsFileLimit, or another program kept
// writing it) or 18 (the header is gone). On any failure the file is as it was, but for
// two: a file rewritten in place, because its folder takes no new file, whose writing
// failed after it had room (damaged, not cut); and a replace that left the old file under
// plugin.ini.qbold and could not move it back (the next read takes it).
int WriteSettingsFile(const char* path);

// The same three with the path of the running process (settings_path_win.cpp).
int SettingsFilePath(char* path, size_t size);
int ReadSettings();   // 0, or message 13 to 16
int WriteSettings();  // 0, or message 13, 15, 16 or 18

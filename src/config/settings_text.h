// The plug-in's section of plugin.ini as text in memory: where the header and the entries
// lie, loading the entries into the settings, and the text the plug-in writes. No file
// is touched here (settings_file.cpp reads and writes the file).
#pragma once
#include <cstddef>

constexpr int kMaxSettingsEntries = 4;

// The plug-in's line break: plugin.ini is a Windows text file.
constexpr char kSettingsLineBreak[] = "\r\n";

// 1 when the text begins with a UTF-16 byte-order mark (either order): text the
// plug-in neither reads nor writes, for its 8-bit lines would spoil it.
int IsWideText(const char* text, size_t size);

// The section's header: a line that begins with "[Quillbox]" (case matters; blanks and
// tabs before it and text behind it on its token are allowed). "[Quillbox]" further on
// in a line is another plug-in's text. A UTF-8 byte-order mark in front of the first
// line is passed over. 1 with *afterHeader the offset just past the header's token, 0
// when no line begins with it.
int FindSectionHeader(const char* text, size_t size, size_t* afterHeader);

// Loads at most four entries from afterHeader on into ComPort, LibraryRoot,
// CurrentFolder, PlaylistDir and DumpDir. 0, or message 14 for an entry without "="
// (the entries before it stay loaded).
int LoadEntries(const char* text, size_t size, size_t afterHeader);

// Where the entries that a rewrite replaces end: after the last of the (at most four)
// lines with an "=" that LoadEntries would read.
size_t EntriesEnd(const char* text, size_t size, size_t afterHeader);

// The text that follows the header in a rewrite: a line break, then one line each for
// ComPort, CurrentFolder (as LibDir), PlaylistDir and DumpDir.
constexpr size_t kEntriesTextSize = 1024;
size_t FormatEntries(char (&out)[kEntriesTextSize]);

// A fresh section, appended when a file has none: a line break (so that the header
// begins a line), the header and the four keys without values, one line each.
constexpr size_t kFreshSectionSize = 64;
size_t FormatFreshSection(char (&out)[kFreshSectionSize]);

// Walking a narrow path by characters. In the double-byte code pages (Japanese, Chinese,
// Korean) the second byte of a character may be that of "\\" ("\x95\x5C" is the first
// character of the Japanese for "table"), so a path is split and joined only where a
// whole character is a backslash. The lead-byte test is the file layer's
// (IsPathLeadByte), so that these run natively with a code page of the test's choosing.
#pragma once

// The character after the one text begins with: two bytes on for a lead byte with a byte
// behind it, one otherwise.
const char* NextPathChar(const char* text);

// The last backslash character of path, or null.
const char* LastBackslash(const char* path);

// Whether path ends with a backslash character.
bool EndsWithBackslash(const char* path);

// The first character of text that is one of the single-byte characters in set, or null.
const char* FindPathChar(const char* text, const char* set);

// Bringing back sections from a whole older copy of plugin.ini (the backup a failed
// replace left) into the file that stands in its place now. Another plug-in may have
// made a new plugin.ini meanwhile, holding its own section alone: without this, the
// next save would replace the backup, and every other section would be lost.
#pragma once
#include <cstddef>

// Appends to text (size bytes, room bytes in all) every section of older whose name no
// section of text has (names compared as the system compares them: case does not
// matter), each whole, in older's order, behind a line break. A section is a line whose
// first token begins with "[" and holds a "]", and the lines up to the next one. The new
// size; size itself when nothing was missing; 0 when the sections do not fit in room.
size_t AppendMissingSections(char* text, size_t size, size_t room, const char* older, size_t olderSize);

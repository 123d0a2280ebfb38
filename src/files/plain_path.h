// Names as the system's final-path call gives them: "\\?\C:\x", "\\?\UNC\server\share\x".
// The narrow (code page) file calls keep their MAX_PATH limit with that prefix too, so a
// name that fits without it is used without it.
#pragma once
#include <cstddef>

// The narrow calls' limit: MAX_PATH, the NUL included.
constexpr size_t kNarrowPathSize = 260;

// Writes name without its \\?\ prefix ("C:\x", "\\server\share\x") into out when it has
// one and the rest fits kNarrowPathSize and size: true then; false, out untouched,
// otherwise.
bool PlainPathOf(const char* name, char* out, size_t size);

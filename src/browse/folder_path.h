// Moving CurrentFolder through the music folder, one step at a time and never above
// LibraryRoot. The steps are purely textual; none of them touches the disk.
#pragma once
#include <cstddef>

// To the parent folder: 1 when CurrentFolder is now the parent or was left unchanged
// (it is LibraryRoot, or holds no backslash); 0 when it was reset to LibraryRoot.
int LeaveFolder();

// Into a folder entry of the browse list ("\" and the folder's name): 1 when the name
// and a backslash were appended to CurrentFolder; 0, and no change, for a missing entry,
// a file entry, a name that is no single folder name, or one that would not fit.
int EnterFolder(const char* entry);

// path = folder followed by name: 1 when the whole of it fits size bytes; otherwise 0
// and an empty path, since a cut path would name another file.
int JoinPath(char* path, size_t size, const char* folder, const char* name);

// Back to the music folder itself. Returns 1; callers ignore it.
int ReturnToRoot();

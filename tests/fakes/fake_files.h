// The file system as an in-memory folder tree behind the procedures of files/, with a
// record of every call and switches that make any of them fail.
//
// Paths compare ignoring ASCII case, as on Windows; a folder is listed with "." and ".."
// first and then its entries in case-insensitive name order, as NTFS and Wine list them.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "files/file_system.h"

struct FakeFileSystem {
  struct Node {
    std::string path;  // as created, folders without their trailing backslash
    bool folder = false;
    uint32_t attributes = 0;
    std::string content;
  };
  std::map<std::string, Node> nodes;  // by lower-case path
  // Symbolic links, by lower-case path: the path each leads to, which may not exist. A
  // link is followed by reading, telling the kind, the final path and writing; it is a
  // name of its own to creating a new file (refused there, as Wine refuses it), moving
  // and replacing (which replaces the link itself, as Windows does).
  std::map<std::string, std::string> links;
  std::vector<std::string> calls;     // "list C:\M\*.*", "move A B", "create P", ...

  // Failures on demand.
  std::vector<std::string> refuseCreate;  // paths CreateFileFor refuses to make: access denied
  bool refuseRewrite = false;             // CreateFileFor refuses to rewrite in place
  int failWriteNumber = -1;               // this WriteToFile (0-based) writes nothing
  long long freeBytes = -1;               // room left on the disk, -1 for no limit: a
                                          // write or reservation that grows a file past it fails
  bool failClose = false;
  bool failReplace = false;               // a replace fails with both files as they were
  bool replaceDropsTarget = false;        // ... fails after removing the old file (1176)
  bool failMove = false;
  int listingFailsAfter = -1;             // ListingNext fails after this many entries
  LocalTime now = {2005, 3, 7, 14, 5, 9};
  std::function<void()> beforeMove;       // runs as MoveFileTo is entered: what was done first
  // Sees every path argument as it is handed over, before the call acts on it, with the
  // call's name ("list", "kind", "move from", "move to", "create", ...): where a fuzzer
  // checks them.
  std::function<void(const char* call, const char* path)> onPath;

  // Makes the folder and every folder above it; trailing backslash optional.
  void AddFolder(const std::string& path, uint32_t attributes = 0);
  // Makes the file, and the folders above it.
  void AddFile(const std::string& path, const std::string& content = "", uint32_t attributes = 0);
  // Makes empty files of these names in folder, and the folder: as AddFile does, with the
  // folder's part worked out once for a crowd of files.
  void AddFiles(const std::string& folder, const std::vector<std::string>& names);
  // Makes a symbolic link at path that leads to target.
  void AddLink(const std::string& path, const std::string& target);
  bool Exists(const std::string& path) const;
  std::string Content(const std::string& path) const;
  // The calls whose text begins with prefix.
  std::vector<std::string> CallsStartingWith(const std::string& prefix) const;
  // The names directly inside folder, in listing order (without "." and "..").
  std::vector<std::string> Names(const std::string& folder) const;

  int writes = 0;  // WriteToFile calls so far
};

extern FakeFileSystem Files;

// An empty tree, no failures, an empty call record.
void ResetFakeFiles();

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

#include "fakes/text_order.h"
#include "files/file_system.h"

struct FakeFileSystem {
  struct Node {
    std::string path;  // as created, folders without their trailing backslash
    bool folder = false;
    uint32_t attributes = 0;
    std::string content;
    uint64_t lastWrite = 0;  // the fake clock's tick of the last change
  };
  std::map<std::string, Node, TextOrder> nodes;  // by lower-case path
  // Symbolic links, by lower-case path: the path each leads to, which may not exist. A
  // link is followed by reading, telling the kind, the stamp, the final path and writing;
  // it is a name of its own to creating a new file (refused there, as Windows refuses it
  // when the name itself is opened), moving and replacing (which replaces the link
  // itself, as Windows does).
  std::map<std::string, std::string, TextOrder> links;
  std::vector<std::string> calls;     // "list C:\M\*.*", "move A B", "create P", ...

  // Failures on demand.
  std::vector<std::string> refuseCreate;  // paths CreateFileFor refuses to make: access denied
  bool refuseRewrite = false;             // CreateFileFor refuses to rewrite in place
  int failWriteNumber = -1;               // this WriteToFile (0-based) writes nothing
  long long freeBytes = -1;               // room left on the disk, -1 for no limit: a
                                          // write or reservation that grows a file past it fails
  bool failClose = false;
  bool failReplace = false;               // a replace fails with both files as they were
  // A replace fails as Windows documents it for this error: 1175 and 1176 (with a backup
  // name) leave both files under their own names; 1177 leaves the old file under the
  // backup name and the new one under its own. Wine does not show 1176 and 1177.
  int replaceError = 0;
  bool failMove = false;
  // Names being deleted while another program holds them: on Windows telling their kind,
  // opening and moving them fail with access denied, not "not found" (Wine does not show it).
  std::vector<std::string> deletePending;
  // The process dies once this many calls are recorded: each later call changes nothing
  // and fails, and the files stay as the crash left them. A rewrite's close records its
  // cut as a call of its own ("cut"), after the old text past the new end became line
  // breaks. -1: no crash.
  int crashAfterCalls = -1;
  // 932: the system's code page is Japanese, whose lead bytes are 0x81-0x9F and
  // 0xE0-0xFC; anything else: a single-byte code page.
  int codePage = 1252;
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
  uint64_t clock = 0;  // ticks on every change, for the files' stamps
};

extern FakeFileSystem Files;

// An empty tree, no failures, an empty call record.
void ResetFakeFiles();

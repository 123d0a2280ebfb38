// The in-memory folder tree behind the file-system procedures.
#include "fakes/fake_files.h"

#include "fakes/copy_text.h"
#include "files/path_chars.h"

#include <algorithm>
#include <cstring>

FakeFileSystem Files;

void ResetFakeFiles() { Files = FakeFileSystem(); }

struct FolderListing {
  std::vector<ListedEntry> entries;
  size_t next = 0;
};

// Writes reach the file as they are made, so that a crash leaves what was written.
struct OutputFile {
  std::string key;
  size_t at = 0;         // where the next write goes
  bool rewrite = false;  // written over an existing file, cut at close
  bool failed = false;   // a write or a reservation failed: a rewrite keeps its length
};

namespace {

// In a single-byte code page every byte is a character, and the plain string operations
// below give what the file layer's character walk gives: a fuzzer keys thousands of paths
// an input, and the walk's every byte is a branch it would count.
bool SingleByte() { return Files.codePage != 932; }

// By characters: the second byte of a double-byte character is neither a letter to
// fold nor a backslash.
std::string Lower(std::string s) {
  if (SingleByte()) {
    for (char& c : s) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
  }
  for (const char* at = s.c_str(); *at != '\0'; at = NextPathChar(at)) {
    char& c = s[static_cast<size_t>(at - s.c_str())];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

// Where path's last backslash character is, or npos.
size_t LastBackslashAt(const std::string& path) {
  if (SingleByte()) return path.rfind('\\');
  const char* last = LastBackslash(path.c_str());
  return last == nullptr ? std::string::npos : static_cast<size_t>(last - path.c_str());
}

bool EndsWithBackslashChar(const std::string& path) {
  return SingleByte() ? !path.empty() && path.back() == '\\' : EndsWithBackslash(path.c_str());
}

std::string Trimmed(std::string path) {
  while (path.size() > 1 && EndsWithBackslashChar(path) && path[path.size() - 2] != ':') path.pop_back();
  if (path.size() > 2 && EndsWithBackslashChar(path)) path.pop_back();  // "C:\" is the drive "C:"
  return path;
}

std::string Key(const std::string& path) { return Lower(Trimmed(path)); }

std::string Parent(const std::string& path) {
  const size_t at = LastBackslashAt(path);
  return at == std::string::npos ? "" : path.substr(0, at);
}

std::string NameOf(const std::string& path) {
  const size_t at = LastBackslashAt(path);
  return at == std::string::npos ? path : path.substr(at + 1);
}

// The path a link leads to, or path itself. Most trees have no links, and a fuzzer's
// scan asks this of every file.
std::string Followed(const std::string& path) {
  if (Files.links.empty()) return path;
  auto link = Files.links.find(Key(path));
  return link == Files.links.end() ? path : link->second;
}

FakeFileSystem::Node* Find(const std::string& path) {
  auto it = Files.nodes.find(Key(Followed(path)));
  return it == Files.nodes.end() ? nullptr : &it->second;
}

bool IsLink(const std::string& path) { return !Files.links.empty() && Files.links.count(Key(path)) != 0; }

bool IsDeletePending(const std::string& path) {
  for (const std::string& pending : Files.deletePending) {
    if (Key(pending) == Key(path)) return true;
  }
  return false;
}

void Touch(FakeFileSystem::Node& node) { node.lastWrite = ++Files.clock; }

// Room on the disk for a file to grow from `from` to `to` bytes, taken when there is.
bool TakeRoom(size_t from, size_t to) {
  if (to <= from || Files.freeBytes < 0) return true;
  const long long more = static_cast<long long>(to - from);
  if (more > Files.freeBytes) return false;
  Files.freeBytes -= more;
  return true;
}

bool IsFolder(const std::string& path) {
  const FakeFileSystem::Node* node = Find(path);
  return node != nullptr && node->folder;
}

// A parent that exists: a folder of the tree, or a bare drive.
bool ParentExists(const std::string& path) {
  const std::string parent = Parent(Trimmed(path));
  if (parent.empty()) return false;
  return IsFolder(parent) || parent.size() == 2;
}

// Records the call; false once the process has died, and the call is to do nothing.
bool Record(const std::string& text) {
  Files.calls.push_back(text);
  return Files.crashAfterCalls < 0 || Files.calls.size() <= static_cast<size_t>(Files.crashAfterCalls);
}

void See(const char* call, const char* path) {
  if (Files.onPath) Files.onPath(call, path);
}

// Visits the nodes directly inside folder, in the map's (lower-case) order. They lie
// together in the map from the folder's prefix on: a fuzzer lists folders of hundreds of
// files every tick, which a walk of the whole map made its slowest part.
template <typename Visit>
void EachEntry(const decltype(FakeFileSystem::nodes)& nodes, const std::string& folder, Visit visit) {
  const std::string prefix = Key(folder) + "\\";
  for (auto it = nodes.lower_bound(prefix); it != nodes.end(); ++it) {
    const std::string& key = it->first;
    if (key.compare(0, prefix.size(), prefix) != 0) break;
    // A child, not an entry further down: its last backslash character ends the prefix.
    if (LastBackslashAt(key) == prefix.size() - 1) visit(it->second);
  }
}

ListedEntry Entry(const std::string& name, uint32_t attributes) {
  ListedEntry entry = {};
  CopyText(entry.name, sizeof entry.name, name.c_str());
  entry.attributes = attributes;
  return entry;
}

}  // namespace

void FakeFileSystem::AddFolder(const std::string& path, uint32_t attributes) {
  const std::string trimmed = Trimmed(path);
  const std::string parent = Parent(trimmed);
  if (!parent.empty() && parent.size() > 2 && !Exists(parent)) AddFolder(parent);
  Node& node = nodes[Key(trimmed)];
  node.path = trimmed;
  node.folder = true;
  node.attributes = attributes | kAttributeDirectory;
}

void FakeFileSystem::AddLink(const std::string& path, const std::string& target) { links[Key(path)] = target; }

void FakeFileSystem::AddFile(const std::string& path, const std::string& content, uint32_t attributes) {
  const std::string parent = Parent(path);
  if (parent.size() > 2 && !Exists(parent)) AddFolder(parent);
  Node& node = nodes[Key(path)];
  node.path = path;
  node.folder = false;
  node.attributes = attributes;
  node.content = content;
  Touch(node);
}

void FakeFileSystem::AddFiles(const std::string& folder, const std::vector<std::string>& names) {
  const std::string trimmed = Trimmed(folder);
  if (trimmed.size() > 2 && !Exists(trimmed)) AddFolder(trimmed);
  const std::string prefix = Key(trimmed) + "\\";
  for (const std::string& name : names) {
    Node& node = nodes[prefix + Lower(name)];
    node.path = trimmed + "\\" + name;
    node.folder = false;
    node.attributes = 0;
    node.content.clear();
  }
}

bool FakeFileSystem::Exists(const std::string& path) const { return nodes.count(Key(path)) != 0; }

std::string FakeFileSystem::Content(const std::string& path) const {
  auto it = nodes.find(Key(path));
  return it == nodes.end() ? "" : it->second.content;
}

std::vector<std::string> FakeFileSystem::CallsStartingWith(const std::string& prefix) const {
  std::vector<std::string> found;
  for (const std::string& c : calls) {
    if (c.compare(0, prefix.size(), prefix) == 0) found.push_back(c);
  }
  return found;
}

std::vector<std::string> FakeFileSystem::Names(const std::string& folder) const {
  std::vector<std::string> names;
  EachEntry(nodes, folder, [&](const Node& node) { names.push_back(NameOf(node.path)); });
  return names;  // the map's order is the lower-case order
}

FolderListing* ListingStart(const char* pattern, ListedEntry* first) {
  See("list", pattern);
  Record(std::string("list ") + pattern);
  const std::string text = pattern;
  if (text.size() < 3 || text.compare(text.size() - 3, 3, "*.*") != 0) return nullptr;
  const std::string folder = text.substr(0, text.size() - 3);
  if (!IsFolder(folder)) return nullptr;
  static FolderListing listing;
  listing.entries.clear();  // keeps its room: the next listing is as long, most often
  listing.next = 0;
  listing.entries.push_back(Entry(".", kAttributeDirectory));
  listing.entries.push_back(Entry("..", kAttributeDirectory));
  EachEntry(Files.nodes, folder, [](const FakeFileSystem::Node& node) {
    listing.entries.push_back(Entry(NameOf(node.path), node.attributes));
  });
  *first = listing.entries[0];
  listing.next = 1;
  return &listing;
}

int ListingNext(FolderListing* listing, ListedEntry* next) {
  if (Files.listingFailsAfter >= 0 && listing->next >= static_cast<size_t>(Files.listingFailsAfter)) return -1;
  if (listing->next >= listing->entries.size()) return 0;
  *next = listing->entries[listing->next++];
  return 1;
}

void ListingEnd(FolderListing* listing) {
  Record("list end");
  if (listing != nullptr) listing->entries.clear();
}

int MakeFolder(const char* path) {
  See("mkdir", path);
  if (!Record(std::string("mkdir ") + path)) return 0;
  if (IsFolder(path)) return 1;
  if (Files.Exists(path) || !ParentExists(path)) return 0;
  Files.AddFolder(path);
  return 1;
}

PathKind KindOfPath(const char* path) {
  See("kind", path);
  if (!Record(std::string("kind ") + path)) return kPathUnknown;
  if (IsDeletePending(path)) return kPathUnknown;
  const std::string trimmed = Trimmed(path);
  if (trimmed.size() == 2 && trimmed[1] == ':') return kPathFolder;  // a bare drive
  const FakeFileSystem::Node* node = Find(path);
  if (node == nullptr || (!node->folder && trimmed.size() < std::strlen(path))) return kPathMissing;
  return node->folder ? kPathFolder : kPathFile;
}

int MoveFileTo(const char* from, const char* to) {
  See("move from", from);
  See("move to", to);
  if (!Record(std::string("move ") + from + " " + to)) return 0;
  if (Files.beforeMove) Files.beforeMove();
  const FakeFileSystem::Node* source = Find(from);
  if (IsDeletePending(from) || IsDeletePending(to)) return 0;
  if (Files.failMove || source == nullptr || source->folder || !ParentExists(to)) return 0;
  // MoveFileA of a file onto its own name (letter case aside) succeeds and leaves it be.
  if (Key(from) == Key(to)) return 1;
  if (Files.Exists(to) || IsLink(to)) return 0;
  FakeFileSystem::Node moved = *source;
  Files.nodes.erase(Key(from));
  moved.path = to;
  Files.nodes[Key(to)] = moved;
  return 1;
}

int DeleteFileAt(const char* path) {
  See("delete", path);
  if (!Record(std::string("delete ") + path)) return 0;
  const FakeFileSystem::Node* node = Find(path);
  if (node == nullptr || node->folder) return 0;
  Files.nodes.erase(Key(path));
  return 1;
}

OutputFile* CreateFileFor(const char* path, FileCreation how, bool* accessDenied) {
  See("create", path);
  static const char* const kHow[] = {"create new ", "create always ", "rewrite "};
  if (accessDenied != nullptr) *accessDenied = false;
  if (!Record(kHow[how] + std::string(path))) return nullptr;
  FakeFileSystem::Node* node = Find(path);
  static OutputFile file;
  if (how == kRewriteExisting) {
    if (Files.refuseRewrite || node == nullptr || node->folder) return nullptr;
    file = OutputFile{Key(node->path), 0, true, false};
    return &file;
  }
  bool refused = IsDeletePending(path);
  for (const std::string& name : Files.refuseCreate) refused = refused || Key(name) == Key(path);
  if (refused) {
    if (accessDenied != nullptr) *accessDenied = true;
    return nullptr;
  }
  if (node != nullptr && (node->folder || how == kCreateNew)) return nullptr;
  if (how == kCreateNew && IsLink(path)) return nullptr;
  const std::string made = Followed(path);
  if (!ParentExists(made)) return nullptr;
  if (node == nullptr) Files.AddFile(made, "");
  FakeFileSystem::Node& created = Files.nodes[Key(made)];
  created.content.clear();  // CREATE_ALWAYS empties the file as it opens it
  Touch(created);
  file = OutputFile{Key(made), 0, false, false};
  return &file;
}

int ReserveFileSize(OutputFile* file, uint32_t size) {
  if (!Record("reserve " + std::to_string(size))) return 0;
  FakeFileSystem::Node& node = Files.nodes[file->key];
  if (!TakeRoom(node.content.size(), size)) {
    file->failed = true;
    return 0;
  }
  if (node.content.size() < size) node.content.resize(size, '\n');
  Touch(node);
  return 1;
}

int WriteToFile(OutputFile* file, const void* data, uint32_t length) {
  if (!Record("write " + std::to_string(length))) return 0;
  const int number = Files.writes++;
  FakeFileSystem::Node& node = Files.nodes[file->key];
  if (number == Files.failWriteNumber || !TakeRoom(node.content.size(), file->at + length)) {
    file->failed = true;
    return 0;
  }
  if (node.content.size() < file->at + length) node.content.resize(file->at + length);
  node.content.replace(file->at, length, static_cast<const char*>(data), length);
  file->at += length;
  Touch(node);
  return 1;
}

// A rewrite whose writing succeeded has the old text past the new end turned into line
// breaks, then cut; one with a failed write keeps what the old file had past the bytes
// written.
int CloseFile(OutputFile* file) {
  if (!Record("close")) return 0;
  auto it = Files.nodes.find(file->key);
  if (it != Files.nodes.end() && file->rewrite && !file->failed && it->second.content.size() > file->at) {
    std::string& content = it->second.content;
    content.replace(file->at, std::string::npos, content.size() - file->at, '\n');
    Touch(it->second);
    if (!Record("cut")) return 0;
    content.resize(file->at);
  }
  return Files.failClose || file->failed ? 0 : 1;
}

int ReplaceFileWith(const char* target, const char* replacement, const char* backup) {
  See("replace", target);
  See("replace with", replacement);
  See("replace backup", backup);
  if (!Record(std::string("replace ") + target + " " + replacement + " " + backup)) return 0;
  const FakeFileSystem::Node* source = Find(replacement);
  auto old = Files.nodes.find(Key(target));
  const bool bothStay = Files.failReplace || Files.replaceError == 1175 || Files.replaceError == 1176;
  if (bothStay || source == nullptr || source->folder || old == Files.nodes.end() || old->second.folder) return 0;
  // The old file goes to the backup name, over whatever is there.
  FakeFileSystem::Node kept = old->second;
  Files.nodes.erase(old);
  kept.path = backup;
  Files.nodes[Key(backup)] = kept;
  if (Files.replaceError == 1177) return 0;
  FakeFileSystem::Node moved = *Find(replacement);
  Files.nodes.erase(Key(replacement));
  Files.links.erase(Key(target));
  moved.path = target;
  Files.nodes[Key(target)] = moved;
  return 1;
}

int ReadFileStamp(const char* path, FileStamp* stamp) {
  See("stamp", path);
  if (!Record(std::string("stamp ") + path)) return 0;
  const FakeFileSystem::Node* node = Find(path);
  if (node == nullptr || node->folder || IsDeletePending(path)) return 0;
  *stamp = FileStamp{node->content.size(), node->lastWrite};
  return 1;
}

bool IsPathLeadByte(char byte) {
  const auto b = static_cast<unsigned char>(byte);
  return Files.codePage == 932 && ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC));
}

int FinalPathOf(const char* path, char* out, size_t size) {
  See("final", path);
  if (!Record(std::string("final ") + path)) return 0;
  const FakeFileSystem::Node* node = Find(path);
  if (node == nullptr) return 0;
  const std::string final = IsLink(path) ? node->path : std::string(path);
  return CopyText(out, size, final.c_str()) < size;
}

FileReadResult ReadWholeFile(const char* path, char* buffer, size_t capacity, size_t* size) {
  See("read", path);
  *size = 0;
  if (!Record(std::string("read ") + path)) return kFileUnreadable;
  if (IsDeletePending(path)) return kFileUnreadable;
  const FakeFileSystem::Node* node = Find(path);
  if (node == nullptr) return kFileMissing;
  if (node->folder) return kFileUnreadable;
  if (node->content.size() > capacity) return kFileTooLarge;
  std::memcpy(buffer, node->content.data(), node->content.size());
  *size = node->content.size();
  return kFileRead;
}

LocalTime ReadLocalTime() {
  Record("time");
  return Files.now;
}

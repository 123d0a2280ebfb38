// Builds the fuzzer's world from its input. An input of zeros gives a plain world: the
// music folder C:\Music\ with eight songs that have titles, file information and a place
// in a four-entry playlist and in a three-result search; every other byte value picks an
// edge of one of those things.
#include "poll_world.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "browse/extension_list.h"
#include "browse/folder_browser.h"
#include "browse/slot_tables.h"
#include "config/settings.h"
#include "fakes/fake_files.h"
#include "fakes/fake_host.h"
#include "fakes/fake_port.h"
#include "fakes/fake_timer.h"
#include "protocol/list_state.h"
#include "protocol/poll_tick.h"
#include "protocol/reply_buffer.h"
#include "protocol/status_frame.h"
#include "protocol/transport_commands.h"
#include "serial/frame.h"
#include "serial/port_recovery.h"

namespace {

constexpr size_t kMaxName = 259;  // MAX_PATH less its NUL: the longest name a listing gives
constexpr size_t kMaxNodes = 64;

struct World {
  std::vector<std::string> folders;  // each with its trailing backslash; [0] is the music folder
  std::vector<std::string> held;     // the files whose paths the player can hold: MAX_PATH
  // Paths of search results the player has since replaced: a search made before keeps
  // them in the plug-in's result table, as the player gave them.
  std::vector<std::string> formerResults;
  int serial = 0;                    // makes names unique
};
World Here;

// Lengths a name may take: short, just under or at the 255 and 259 limits, or any.
size_t NameLength(FuzzInput& in) {
  const uint8_t c = in.Byte();
  switch (c % 4) {
    case 1: return 252 + (c >> 2) % 8;
    case 2: return 236 + (c >> 2) % 20;
    case 3: return 1 + in.Below(kMaxName);
    default: return 3 + (c >> 2) % 12;
  }
}

// A few characters from the input, none of them a separator or a NUL.
std::string Stem(FuzzInput& in) {
  std::string stem = in.Bytes(in.Byte() % 4);
  for (char& c : stem) {
    if (c == '\0' || c == '\\' || c == '/') c = '_';
  }
  return stem.empty() ? "a" : stem;
}

// A unique name of a length from the input (or a few characters longer, when the length
// is too short for the unique part) that ends in ending.
std::string Name(FuzzInput& in, const std::string& ending) {
  const size_t length = NameLength(in);
  std::string name = Stem(in) + "-" + std::to_string(Here.serial++);
  const size_t body = length > ending.size() ? length - ending.size() : 0;
  if (name.size() < body) name.append(body - name.size(), 'x');
  return name + ending;
}

// A folder path of about `length` characters under prefix, in components of at most 60.
std::string LongFolder(const std::string& prefix, size_t length) {
  std::string path = prefix;
  while (path.size() + 2 <= length) {
    const size_t part = std::min<size_t>(60, length - path.size() - 1);
    path.append(part, 'M');
    path += '\\';
  }
  return path;
}

std::string Root(FuzzInput& in) {
  switch (in.Byte() % 6) {
    case 1: return "C:\\";
    case 2: return LongFolder("C:\\", 200 + in.Below(56));
    case 3: return "C:\\Music\\Rock\\";
    case 4: return "D:\\My Music\\";
    case 5: return "\\\\server\\share\\";
    default: return "C:\\Music\\";
  }
}

// PlaylistDir or DumpDir: in the music folder, a long one elsewhere, or one that is missing.
void WorkingFolder(FuzzInput& in, char* setting, const std::string& root, const char* name) {
  std::string folder = root + name + "\\";
  switch (in.Byte() % 4) {
    case 1: folder = LongFolder(std::string("C:\\") + name + "\\", 255); break;
    case 2: folder = std::string("C:\\Missing\\") + name + "\\"; break;
    default: break;
  }
  if (folder.size() >= kPathSize) folder = std::string("C:\\") + name + "\\";
  std::snprintf(setting, kPathSize, "%s", folder.c_str());
  if (folder.compare(0, 11, "C:\\Missing\\") != 0) Files.AddFolder(folder);
}

void SetExtensions(const std::vector<std::string>& extensions) {
  ExtensionCount = static_cast<uint32_t>(std::min<size_t>(extensions.size(), kExtensionSlots));
  for (uint32_t i = 0; i < ExtensionCount; i++) {
    std::snprintf(ExtensionTable[i], kExtensionSlotSize, "%s", extensions[i].c_str());
  }
}

// The playable extensions: the usual four, with an empty one (then "." and ".." are
// songs), only upper case, a full table of 200, or a few from the input.
void Extensions(FuzzInput& in) {
  std::vector<std::string> list = {"mp3", "wav", "m3u", "pl"};
  switch (in.Byte() % 5) {
    case 1: list.push_back(""); break;
    case 2: list = {"MP3"}; break;
    case 3:
      list.clear();
      for (int i = 0; i < 199; i++) list.push_back("e" + std::to_string(i));
      list.push_back("mp3");
      break;
    case 4:
      list.clear();
      for (uint32_t n = 1 + in.Byte() % 6; n > 0; n--) list.push_back(in.Bytes(in.Byte() % 12));
      break;
    default: break;
  }
  SetExtensions(list);
}

// A title, a tag value: mostly short, some at or past the 30, 40, 256, 260 and 500-byte
// destinations, some beginning with a backslash as only folder entries should.
std::string Text(FuzzInput& in) {
  static const size_t kLengths[] = {29, 30, 39, 40, 41, 255, 256, 259, 260, 499, 500, 700};
  const uint8_t c = in.Byte();
  switch (c % 6) {
    case 1: return "";
    case 2: return std::string(in.Pick(kLengths), 'T');
    case 3: return "\\" + Stem(in);
    case 4: return in.Bytes(in.Byte() % 16);
    default: return "Title " + std::to_string(c);
  }
}

std::string Year(FuzzInput& in) {
  static const char* const kYears[] = {"2005", "", " -2005x", "+1999", "99999999999999", "0x7d5", "-", "1e3"};
  return in.Pick(kYears);
}

FakeFileInfo Info(FuzzInput& in) {
  static const char* const kNames[] = {"BITRATE", "bitrate", "BITRATE2", "", "Bitrate", "YEAR"};
  static const char* const kValues[] = {"128", "320", "", "-5", "99999999999999", " 64kbps"};
  const uint8_t c = in.Byte();
  if (c % 4 == 0) return {245, {{"BITRATE", "128"}}};
  FakeFileInfo info;
  info.seconds = static_cast<int32_t>(in.Long());
  for (uint32_t n = c % 4 == 2 ? in.Byte() % 4 : 0; n > 0; n--) {
    info.extended.push_back({in.Pick(kNames), in.Pick(kValues)});
  }
  return info;
}

// What the player knows about a song: its title, its other tags, its file information.
void Describe(FuzzInput& in, const std::string& path) {
  const uint8_t c = in.Byte();
  if (c % 8 != 7) Host.titles[path] = Text(in);
  if (c & 0x08) Host.tags[path + "|ARTIST"] = Text(in);
  if (c & 0x10) Host.tags[path + "|YEAR"] = Year(in);
  if ((c & 0x20) == 0) Host.fileInfo[path] = Info(in);
}

uint32_t Attributes(uint8_t c) {
  switch ((c >> 3) % 8) {
    case 5: return kAttributeHidden;
    case 6: return kAttributeSystem;
    default: return 0;
  }
}

std::string FileEnding(FuzzInput& in, uint8_t kind) {
  switch (kind) {
    case 2: return ".WAV";
    case 3: return ".m3u";
    case 4: return ".txt";
    case 6: return "";
    case 7: return "." + Stem(in);
    default: return ".mp3";
  }
}

// One folder or file somewhere in the tree.
void AddNode(FuzzInput& in) {
  const uint8_t c = in.Byte();
  const std::string parent = Here.folders[in.Below(static_cast<uint32_t>(Here.folders.size()))];
  const uint8_t kind = c % 8;
  if (kind == 1 || kind == 5) {
    const std::string name = (kind == 5 ? "." : "") + Name(in, "");
    const std::string folder = parent + name.substr(0, kMaxName) + "\\";
    Files.AddFolder(folder, Attributes(c));
    Here.folders.push_back(folder);
    return;
  }
  const std::string file = parent + Name(in, FileEnding(in, kind));
  Files.AddFile(file, "", Attributes(c));
  if (file.size() <= kMaxName) Here.held.push_back(file);
  Describe(in, file);
}

// More than 500 songs in one folder, some of them folders, none of them described.
void AddCrowd(FuzzInput& in) {
  const std::string folder = Here.folders[in.Below(static_cast<uint32_t>(Here.folders.size()))] + "Crowd\\";
  Files.AddFolder(folder);
  Here.folders.push_back(folder);
  const uint32_t n = 490 + in.Below(130);
  std::vector<std::string> songs;
  songs.reserve(n);
  for (uint32_t i = 0; i < n; i++) {
    char name[32];
    std::snprintf(name, sizeof name, i % 50 == 7 ? "f%03u" : "t%03u.mp3", i);
    if (i % 50 == 7) {
      Files.AddFolder(folder + name);
    } else {
      songs.push_back(name);
    }
  }
  Files.AddFiles(folder, songs);
  if (folder.size() + 8 <= kMaxName) Here.held.push_back(folder + "t000.mp3");
}

void BuildTree(FuzzInput& in, const std::string& root) {
  Here = World();
  Files.AddFolder(root);
  Here.folders.push_back(root);
  const uint32_t nodes = (in.Byte() + 8u) % kMaxNodes;
  for (uint32_t i = 0; i < nodes; i++) AddNode(in);
  if (in.Byte() % 8 == 7) AddCrowd(in);
}

// A path the player may hold: a song on the disk, one elsewhere, or an empty one.
std::string PlayerPath(FuzzInput& in) {
  const uint8_t c = in.Byte();
  if (c % 4 == 0 && !Here.held.empty()) return Here.held[in.Below(static_cast<uint32_t>(Here.held.size()))];
  if (c % 4 == 1) return "";
  const std::string path = "C:\\Elsewhere\\" + Name(in, ".mp3");
  return path.size() > kMaxName ? path.substr(path.size() - kMaxName) : path;
}

void Playlist(FuzzInput& in) {
  Host.files.clear();
  const uint8_t c = in.Byte();
  uint32_t n = 4;
  switch (c % 8) {
    case 1: n = 0; break;
    case 2: case 7: n = in.Byte() % 12; break;
    case 3: n = 495 + in.Byte() % 10; break;
    case 4: n = 500; break;
    case 5: n = 501 + in.Below(120); break;
    default: break;
  }
  for (uint32_t i = 0; i < n; i++) {
    const bool mixed = c % 8 == 2 || c % 8 == 7;
    if (mixed) {
      Host.files.push_back(PlayerPath(in));
    } else if (!Here.held.empty()) {
      Host.files.push_back(Here.held[i % Here.held.size()]);
    } else {
      Host.files.push_back("C:\\Elsewhere\\p" + std::to_string(i) + ".mp3");
    }
  }
}

void PlayerState(FuzzInput& in) {
  static const int32_t kPositions[] = {0, 1, 3, 499, 500, 700, -1, INT32_MIN};
  static const int32_t kStates[] = {0, 1, 3, 2, -1};
  static const int32_t kElapsed[] = {-1, 0, 185000, 65000, INT32_MAX, INT32_MIN};
  static const int32_t kSeconds[] = {245, -1, 0, INT32_MAX, INT32_MIN, 65};
  Host.position = in.Pick(kPositions);
  Host.playState = in.Pick(kStates);
  Host.elapsedMs = in.Pick(kElapsed);
  Host.trackSeconds = in.Pick(kSeconds);
  Host.shuffle = static_cast<int32_t>(in.Byte() % 3 == 2 ? in.Long() : in.Byte() % 2);
  Host.changed = in.Byte() % 2;
}

// A search result: a song on the disk, a missing path or title, and paths and titles up
// to past the 500-byte slots they are copied into.
FakeHost::Result Result(FuzzInput& in) {
  FakeHost::Result r;
  const uint8_t c = in.Byte();
  switch (c % 5) {
    case 1: r.path = std::nullopt; break;
    case 2: r.path = "C:\\Found\\" + std::string(in.Below(600), 'p') + ".mp3"; break;
    case 3: r.path = ""; break;
    default: r.path = PlayerPath(in); break;
  }
  if ((c >> 3) % 4 == 1) {
    r.title = std::nullopt;
  } else {
    r.title = Text(in);
  }
  return r;
}

// The counts a player could report beside its result array: the plug-in may trust one of
// them, but not both to be wrong, since then nothing tells it the array's real size.
void SearchCounts(FuzzInput& in, int32_t n) {
  static const int32_t kOdd[] = {-1, 0, INT32_MIN, INT32_MAX, 1};
  switch (in.Byte() % 6) {
    case 1: Host.reportedCount = n > 0 ? static_cast<int32_t>(in.Below(static_cast<uint32_t>(n))) : -1; break;
    case 2:
      if (n == 0) break;
      Host.reportedCount = n + 1 + static_cast<int32_t>(in.Byte());
      Host.reportedAllocated = n;
      break;
    case 3: Host.reportedAllocated = in.Pick(kOdd); break;
    case 4: Host.reportedAllocated = n + 1 + static_cast<int32_t>(in.Byte()); break;
    default: break;
  }
}

void SearchResults(FuzzInput& in) {
  static const int32_t kAnswers[] = {1, 1, 1, 0, -1, 7};
  for (const FakeHost::Result& r : Host.results) {
    if (r.path) Here.formerResults.push_back(*r.path);
  }
  Host.results.clear();
  Host.ignoreLimit = false;
  Host.reportedCount.reset();
  Host.reportedAllocated.reset();
  const uint8_t c = in.Byte();
  uint32_t n = 3;
  switch (c % 6) {
    case 1: n = 0; break;
    case 2: n = in.Byte() % 10; break;
    case 3: n = 499 + in.Byte() % 3; break;
    case 4: n = 501 + in.Below(100); Host.ignoreLimit = true; break;
    default: break;
  }
  for (uint32_t i = 0; i < n; i++) {
    if (c % 6 == 2) {
      Host.results.push_back(Result(in));
    } else if (!Here.held.empty()) {
      Host.results.push_back({Here.held[i % Here.held.size()], "Found " + std::to_string(i)});
    } else {
      Host.results.push_back({"C:\\Found\\r" + std::to_string(i) + ".mp3", "Found"});
    }
  }
  Host.searchAnswer = in.Pick(kAnswers);
  SearchCounts(in, static_cast<int32_t>(Host.results.size() > kMaxListEntries && !Host.ignoreLimit
                                            ? kMaxListEntries : Host.results.size()));
}

void Settings(FuzzInput& in) {
  const std::string root = Root(in);
  std::snprintf(LibraryRoot, kPathSize, "%s", root.c_str());
  std::snprintf(CurrentFolder, kPathSize, "%s", root.c_str());
  BuildTree(in, root);
  WorkingFolder(in, PlaylistDir, root, "QB_Playlists");
  WorkingFolder(in, DumpDir, root, "QB_Dumped");
  Extensions(in);
}

// The plug-in's state as the DLL has it after start-up, for a port that opened.
void ResetPlugin() {
  CreateSlotTables();  // tables kept from the last input are emptied
  ActiveList = {nullptr, 0};
  ListCursor = LibraryResultCount = BrowseCount = 0;
  PlaylistLength = 0;
  PlaylistPosition = 0;
  std::memset(ReplyBuffer, 0, sizeof ReplyBuffer);
  FrameSequence = 0;
  TimeDisplayMode = 0;
  VolumeLevel = kStartVolume;
  PollStats = {};
  LinkStats = {};
  PortStats = {};
  ArmCalls = 0;
  QuitAfterChecks = -1;
  QuitChecks = 0;
}

std::string NewFileName(FuzzInput& in) {
  const std::string folder = in.Byte() % 2 ? std::string(CurrentFolder) : Here.folders[0];
  return folder + Name(in, in.Byte() % 2 ? ".mp3" : ".wav");
}

void AddSong(FuzzInput& in) {
  const std::string file = NewFileName(in);
  Files.AddFile(file);
  Describe(in, file);
}

void ChangeTitle(FuzzInput& in) {
  if (Host.files.empty()) return;
  Host.titles[Host.files[in.Below(static_cast<uint32_t>(Host.files.size()))]] = Text(in);
}

// A length that differs from the playlist the player hands out, as a player may report
// while it changes its playlist between two of the plug-in's messages.
void ChangeReportedLength(FuzzInput& in) {
  static const int32_t kLengths[] = {-1, 0, 499, 500, 501, 620, 1200};
  if (in.Byte() % 2) {
    Host.reportedLength = in.Pick(kLengths);
  } else {
    Host.reportedLength.reset();
  }
}

void RemoveNode(FuzzInput& in) {
  if (Files.nodes.empty()) return;
  auto it = Files.nodes.begin();
  std::advance(it, in.Below(static_cast<uint32_t>(Files.nodes.size())));
  Files.nodes.erase(it);
}

void ChangePlaylist(FuzzInput& in) {
  static const uint32_t kLengths[] = {0, 1, 499, 500, 501, 620};
  if (in.Byte() % 2) {
    Host.files.resize(in.Pick(kLengths), Here.held.empty() ? "C:\\Elsewhere\\x.mp3" : Here.held[0]);
  } else {
    Host.files.push_back(PlayerPath(in));
  }
  Host.changed = 1;
}

void ChangeFailures(FuzzInput& in) {
  static const int kAfter[] = {-1, 0, 1, 2, 5};
  switch (in.Byte() % 4) {
    case 0: Files.listingFailsAfter = in.Pick(kAfter); break;
    case 1: Files.failMove = !Files.failMove; break;
    case 2: Files.failWriteNumber = Files.writes + in.Byte() % 3; break;
    default: Files.failClose = !Files.failClose; break;
  }
}

void ChangeTime(FuzzInput& in) {
  static const int32_t kYears[] = {2005, -1, 99999, INT32_MIN, 1601};
  if (in.Byte() % 2) {
    Files.now.second = (Files.now.second + 1) % 60;
  } else {
    Files.now.year = in.Pick(kYears);
  }
}

}  // namespace

void BuildWorld(FuzzInput& in) {
  ResetFakeHost();
  ResetFakeFiles();
  ResetFakeLine();
  ResetPlugin();
  Settings(in);
  Playlist(in);
  for (const std::string& path : Host.files) {
    if (!Host.titles.count(path)) Describe(in, path);
  }
  PlayerState(in);
  SearchResults(in);
  WatchPanelPort(1, 115200);
  Line.nowMs += kQuietAfterOpenMs;  // start-up's quiet on the line is over: the panel talks
}

void ReleaseWorld() {
  ResetFakeHost();
  ResetFakeFiles();
  ResetFakeLine();
  Here = World();
}

void ChangeWorld(FuzzInput& in) {
  static const int32_t kPositions[] = {0, 1, 499, 500, 700, -1};
  static const int32_t kStates[] = {0, 1, 3, 2};
  static const int32_t kAnswers[] = {1, 0, 7};
  switch (in.Byte() % 13) {
    case 0: Host.changed = 1; break;
    case 1: Host.position = in.Byte() % 2 ? in.Pick(kPositions) : static_cast<int32_t>(in.Byte() % 8); break;
    case 2: Host.playState = in.Pick(kStates); break;
    case 3: ChangeReportedLength(in); break;
    case 4: ChangePlaylist(in); break;
    case 5: Host.searchAnswer = in.Pick(kAnswers); break;
    case 6: ChangeFailures(in); break;
    case 7: ChangeTime(in); break;
    case 8: AddSong(in); break;
    case 9: RemoveNode(in); break;
    case 10: ChangeTitle(in); break;
    case 11: SearchResults(in); break;  // what the next search finds
    default: QuitAfterChecks = QuitChecks + in.Byte() % 64; break;  // quit begins part way through
  }
}

bool PlayerGave(const char* path) {
  for (const std::string& file : Host.files) {
    if (file == path) return true;
  }
  for (const FakeHost::Result& r : Host.results) {
    if (r.path && *r.path == path) return true;
  }
  for (const std::string& former : Here.formerResults) {
    if (former == path) return true;
  }
  return false;
}

void PrintWorld() {
  std::fprintf(stderr, "LibraryRoot %s\nPlaylistDir %s\nDumpDir %s\nextensions %u:", LibraryRoot, PlaylistDir,
               DumpDir, ExtensionCount);
  for (uint32_t i = 0; i < ExtensionCount && i < 8; i++) std::fprintf(stderr, " [%s]", ExtensionTable[i]);
  std::fprintf(stderr, "\n");
  for (const auto& [key, node] : Files.nodes) {
    std::fprintf(stderr, "%s %s (%zu) attr %u\n", node.folder ? "folder" : "file  ", node.path.c_str(),
                 node.path.size(), node.attributes);
  }
  for (const std::string& file : Host.files) std::fprintf(stderr, "playlist %s\n", file.c_str());
  for (const FakeHost::Result& r : Host.results) {
    std::fprintf(stderr, "result %s | %s\n", r.path ? r.path->c_str() : "(null)",
                 r.title ? r.title->c_str() : "(null)");
  }
  std::fprintf(stderr, "position %d state %d\n", Host.position, Host.playState);
}

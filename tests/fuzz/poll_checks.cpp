// The invariants of the poll-cycle fuzzer, checked as the calls are made (paths) and after
// every tick (the call record, the frames on the line, the state left behind).
#include "poll_checks.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "browse/folder_browser.h"
#include "browse/slot_tables.h"
#include "config/settings.h"
#include "fakes/fake_files.h"
#include "fakes/fake_host.h"
#include "fakes/fake_port.h"
#include "fakes/fake_timer.h"
#include "poll_world.h"
#include "protocol/list_state.h"
#include "protocol/poll_tick.h"
#include "protocol/reply_buffer.h"
#include "serial/frame.h"

namespace {

constexpr size_t kMaxPath = 259;     // MAX_PATH less its NUL
constexpr size_t kBuiltPath = 255;   // the plug-in's own path buffers hold 256 bytes
constexpr uint32_t kTickLineMs = 15 + 30 + 30;  // the header's wait, the payload's, the end marker's
// The longest legitimate tick: a trim of 700 entries, and a folder of 500 entered, listed
// with a title request per file, enqueued and listed again.
constexpr size_t kMaxCallsPerTick = 3000;

struct TickStart {
  int arms;
  size_t writes;
  uint32_t nowMs;
  int64_t position;      // what the player answers for its position
  int64_t lengthAnswer;  // ... and for its playlist length
  // The folders and files on the disk. A tick makes no folder and removes none (the path
  // checks refuse mkdir, and no call removes or moves a folder), so a fall in this number
  // is a file lost; counting the files alone walked the whole tree twice a tick.
  size_t nodes;
  size_t playlist;
};

void Require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "poll_cycle_fuzz: invariant broken: %s\n", what);
  std::abort();
}

bool StartsWith(const char* text, const char* prefix) { return std::strncmp(text, prefix, std::strlen(prefix)) == 0; }
bool EndsWith(const char* text, const char* suffix) {
  const size_t n = std::strlen(text), m = std::strlen(suffix);
  return n >= m && std::strcmp(text + n - m, suffix) == 0;
}

bool IsReplyLength(uint32_t n) { return n == 6 || n == 10 || n == 100 || n == 244; }

// strlen reads up to the NUL: under AddressSanitizer a path not terminated inside its
// buffer is reported right here. A folder scan asks for titles with paths of up to
// MAX_PATH; what is enqueued or looked up in the media library was built in 256 bytes,
// unless the player gave it.
void CheckPlayerPath(const char* call, const char* path) {
  Require(path != nullptr, "no null path is handed to the player");
  const size_t n = std::strlen(path);
  Require(n <= kMaxPath, "a path handed to the player fits MAX_PATH");
  if (std::strcmp(call, "296") == 0) return;
  // Whether the player gave it is asked only when it matters: it walks the whole playlist.
  const bool inRoot = StartsWith(path, LibraryRoot);
  const bool given = (n <= kBuiltPath && inRoot) || PlayerGave(path);
  Require(n <= kBuiltPath || given, "a path the plug-in built fits its 256 bytes");
  Require(given || inRoot || (n == 0 && std::strcmp(call, "0x200") == 0),
          "a path the plug-in built lies in the music folder");
  if (std::strcmp(call, "copydata") == 0) Require(n > 0, "no empty path is enqueued");
}

// The file a move takes, by name: a song keeps its name in DumpDir.
std::string MovedName;
// The playlist file this tick created: a save that could not write it whole removes it.
std::string CreatedPlaylist;

std::string NameOf(const char* path) {
  const char* slash = std::strrchr(path, '\\');
  return slash == nullptr ? path : slash + 1;
}

void CheckFilePath(const char* call, const char* path) {
  Require(path != nullptr, "no null path goes to the file system");
  const size_t n = std::strlen(path);
  Require(n <= kMaxPath, "a path handed to the file system fits MAX_PATH");
  const std::string c = call;
  if (c == "list") {
    Require(n <= kBuiltPath + 3 && EndsWith(path, "*.*"), "a listing pattern is a folder of 255 and *.*");
  } else if (c == "create") {
    Require(n <= kBuiltPath && StartsWith(path, PlaylistDir),
            "a playlist is saved in PlaylistDir, its name in 256 bytes");
    CreatedPlaylist = path;
  } else if (c == "delete") {
    Require(!CreatedPlaylist.empty() && CreatedPlaylist == path, "a tick deletes only the playlist it created");
  } else if (c == "move to") {
    Require(StartsWith(path, DumpDir), "a song is moved into DumpDir and nowhere else");
    Require(NameOf(path) == MovedName, "a song keeps its name in DumpDir");
  } else if (c == "move from") {
    MovedName = NameOf(path);
  } else if (c == "kind") {
    // a question only: within MAX_PATH, as checked above
  } else {
    Require(false, "a tick never makes folders, replaces or reads files");
  }
}

// The number after the call's name ("211 7" gives 7), with where it ends.
long Argument(const std::string& call, size_t from, const char** end) {
  char* stop = nullptr;
  const long n = std::strtol(call.c_str() + from, &stop, 10);
  *end = stop;
  return n;
}

// The record of the player's calls: every index the plug-in chose names one of 500
// entries; the player's own position may come back to it as it was given. A scan adds
// a call a file, so each call's name is read once and only the calls with an index are
// parsed further.
void CheckCalls(const TickStart& s) {
  Require(Host.calls.size() <= kMaxCallsPerTick, "a tick sends the player a bounded number of messages");
  int64_t position = s.position;
  for (const std::string& call : Host.calls) {
    const size_t space = call.find(' ');
    if (space == std::string::npos) continue;
    const std::string_view name(call.data(), space);
    const char* rest = nullptr;
    const long a = Argument(call, space + 1, &rest);
    if (rest == call.c_str() + space + 1) continue;  // not followed by a number
    if (name == "211") {
      Require((a >= 0 && a < 500) || a == position || (a == 500 && PlaylistPosition == 500),
              "a playlist entry asked for is one of 500, or the player's own position");
    } else if (name == "121") {
      Require(a >= 0 && a < 500, "a position set is one of 500");
      position = a;
    } else if (name == "swap") {
      const long b = std::strtol(rest, nullptr, 10);
      Require(a >= 0 && a < 500 && b >= 0 && b < 500 && (a - b == 1 || b - a == 1),
              "a swap is of two neighbours of 500");
    } else if (name == "delete") {
      Require(a >= 0 && (a < 500 || a < s.lengthAnswer), "a deleted entry is one of 500, or one the trim cuts");
    } else if (name == "122") {
      Require(a >= 0 && a <= 255, "a volume is 0 to 255");
    } else if (name == "252") {
      Require(a == 0 || a == 1, "shuffle is on or off");
    } else if (name == "press") {
      Require(a >= 40044 && a <= 40048, "a button is one of the player's five");
    }
  }
}

// The status payload: its zero bytes, and the title and folder fields ending in a NUL.
void CheckStatus(const uint8_t* payload) {
  Require(payload[1] == 0 && payload[2] == 0 && payload[3] == 0, "status bytes 1 to 3 are 0");
  Require(payload[51] == 0 && payload[91] == 0, "the status title and folder fields end with a NUL");
}

// An "L" data chunk: its used length within 239, the titles ending with a NUL and only
// zeros after them, so that the panel counts exactly the titles sent.
void CheckChunk(const uint8_t* payload) {
  const uint32_t used = payload[3];
  Require(used >= 1 && used <= 239, "a chunk's used length is 1 to 239");
  Require(payload[4 + used - 1] == 0, "a chunk's last title ends with a NUL");
  for (uint32_t i = 4 + used; i < 244; i++) Require(payload[i] == 0, "a chunk is zero after its used length");
}

// Each write holds one frame, or the start of one when the line cut it short.
void CheckWrite(const std::vector<uint8_t>& w, bool first) {
  if (w.size() < kHeaderSize) return;
  Require(w[0] == 0x55 && w[1] == 0xAA, "a frame begins with 55 AA");
  const size_t n = w[kLengthOffset];
  Require(n <= kMaxPayload, "no frame carries more than 250 payload bytes");
  Require(w.size() <= n + 6, "one write holds one frame");
  if (w.size() < n + 6) return;
  Require(w[n + 4] == 0xBB && w[n + 5] == 0xCC, "a frame ends with BB CC");
  if (first) {
    Require(n == 92 && w[4] == 'B', "a tick's first frame is the status frame");
    CheckStatus(&w[4]);
  } else {
    Require(IsReplyLength(static_cast<uint32_t>(n)) && w[kSequenceOffset] == 0,
            "a reply frame has a known length and sequence 0");
    if (w[4] == 'D') CheckChunk(&w[4]);
  }
}

void CheckLine(const TickStart& s) {
  Require(Line.nowMs - s.nowMs <= kTickLineMs, "a tick waits on the line at most 15 + 30 + 30 ms");
  Require(Line.writes.size() - s.writes <= 2, "a tick writes a status frame and at most one reply");
  for (size_t i = s.writes; i < Line.writes.size(); i++) CheckWrite(Line.writes[i], i == s.writes);
  Require(ReplyBuffer[kLengthOffset] == 0 || IsReplyLength(ReplyBuffer[kLengthOffset]),
          "the pending reply is one of the protocol's, within 250 bytes");
}

void CheckBrowsing() {
  Require(std::memchr(CurrentFolder, '\0', kPathSize) != nullptr, "CurrentFolder stays terminated");
  Require(StartsWith(CurrentFolder, LibraryRoot), "browsing never climbs above the music folder");
  Require(EndsWith(CurrentFolder, "\\"), "CurrentFolder ends with a backslash");
  Require(BrowseCount <= kMaxListEntries, "BrowseCount is at most 500");
  for (uint32_t i = 0; i < BrowseCount; i++) {
    Require(BrowseNames[i][0] != '\0', "a browsed entry has a name");
    Require(std::memchr(BrowseNames[i], '\0', kSlotSize) && std::memchr(BrowseTitles[i], '\0', kSlotSize),
            "every browsed name and title ends inside its slot");
  }
}

void CheckState(const TickStart& s) {
  Require(ArmCalls == s.arms + 1, "every tick re-arms the timer exactly once");
  Require(LibraryResultCount <= kMaxListEntries && ActiveList.count <= kMaxListEntries && ListCursor <= kMaxListEntries,
          "the list counts and the cursor stay within 500");
  Require(PlaylistPosition <= kMaxListEntries, "PlaylistPosition is at most 500");
  Require(Host.infoLists.empty() && Host.infoMisuse.empty(), "every file-information list is released once, as given");
  Require(Host.releaseMisuses == 0, "search results are released once, with the record that got them");
  Require(Files.nodes.size() >= s.nodes, "no file is lost");
  if (s.lengthAnswer == static_cast<int64_t>(s.playlist) && s.playlist <= kMaxListEntries) {
    Require(Host.files.size() <= kMaxListEntries, "the plug-in never grows the playlist past 500");
  }
}

void Trace() {
  std::fprintf(stderr, "-- tick %u, CurrentFolder %s, BrowseCount %u\n", PollStats.ticks, CurrentFolder, BrowseCount);
  for (const std::string& c : Host.calls) std::fprintf(stderr, "  host %s\n", c.c_str());
  for (const std::string& c : Files.calls) std::fprintf(stderr, "  file %s\n", c.c_str());
}

TickStart Begin() {
  Host.calls.clear();
  Files.calls.clear();
  CreatedPlaylist.clear();
  return {ArmCalls, Line.writes.size(), Line.nowMs, Host.position,
          Host.reportedLength.value_or(static_cast<int32_t>(Host.files.size())), Files.nodes.size(), Host.files.size()};
}

}  // namespace

void WatchPaths() {
  Host.onPath = CheckPlayerPath;
  Files.onPath = CheckFilePath;
}

void CheckedTick() {
  const TickStart start = Begin();
  PollTick();
  static const bool trace = std::getenv("QB_FUZZ_TRACE") != nullptr;
  if (trace) Trace();
  CheckCalls(start);
  CheckLine(start);
  CheckBrowsing();
  CheckState(start);
}

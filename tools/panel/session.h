// The panel's half of the conversation, fed with the bytes of the line and free of any
// device or clock of its own, so that it runs natively from bytes in tests.
//
// The plug-in listens for a command only during the 15 ms after each status frame, and
// sends a pending reply only on a tick that brought no command. So the session sends at
// most one command, right after a status frame, then stays quiet for two ticks: the
// first lets the reply come, the second lets a reply that the plug-in posted by itself
// (a changed playlist) come too, before the next command could replace it. A reply is
// paired with the command in flight by its shape and, where the reply carries it back,
// by the tag that the panel stamped into byte 1.
#pragma once
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "replies.h"
#include "wire.h"

// Status frames from sending a command until the next may go: the command's tick, the
// tick that brings its reply, the tick left free for a reply the plug-in posts itself.
constexpr int kTicksPerCommand = 3;
// No status frame for this long: the line is quiet (a tick comes every ~50 ms).
constexpr double kQuietMs = 1000;
// Whole-list transfers that lose a chunk are started again this often before giving up.
constexpr int kFetchAttempts = 3;
constexpr size_t kMaxListEntries = 500;

// What to ask for once a command has done its work: the commands that rescan the
// browse tables leave them in listing order, and the edits mark the playlist clean, so
// the panel chooses the list again to see it as the plug-in now has it.
enum class FollowUp { None, RefreshFolder, RefreshPlaylist };

struct Request {
  Bytes payload;
  ReplyForm expect = ReplyForm::None;
  std::string label;  // as the user asked for it, for messages
  FollowUp then = FollowUp::None;
  bool asGiven = false;  // byte 1 goes out as given, not stamped with the tag
};

enum class EventKind {
  Status,         // the status frame says something new
  Sent,           // a user's command went out
  Replied,        // the reply a user's command asked for (payload)
  NoReply,        // a command that expects a reply got none
  ListChosen,     // the plug-in made a list active (list); asked false: it did so by itself
  ListUnchanged,  // a "Q" reply that names no list kind
  ListProgress,   // count entries of list received so far
  ListDone,       // the whole list is in Session::lists
  ListFailed,
  Stray,  // a reply nobody asked for (payload)
  LineQuiet,
  LineBack,
  DeviceGone,  // label: why
  DeviceBack,
};

struct Event {
  EventKind kind;
  std::string label;
  Bytes payload;
  ListKind list = ListKind::Folder;
  bool asked = true;
  bool interrupted = false;  // ListChosen: a transfer of another list was cut short
  size_t count = 0;
};

struct ListFetch {
  bool active = false;
  ListKind kind = ListKind::Folder;
  unsigned generation = 0;  // which transfer this is: a step's reply counts only for its own
  bool restarted = false;   // "L" 6 acknowledged: the cursor is at the first entry
  int attempts = 0;
  std::vector<std::string> titles;
};

struct Session {
  // The line.
  Bytes stream;
  int broken = 0;   // frames dropped for a wrong end marker
  long frames = 0;  // well-formed frames
  long strays = 0;
  std::optional<Status> status;
  double lastStatusMs = -1;
  double startMs = -1;
  bool quiet = false;
  bool deviceGone = false;
  // Commands.
  std::deque<Request> queue;
  std::optional<Request> inFlight;
  bool inFlightFetches = false;     // the command in flight is a step of the list transfer ...
  unsigned inFlightGeneration = 0;  // ... of this one
  int ticksSinceSend = 0;
  bool replied = false;
  uint8_t tag = 0;
  // Lists.
  std::optional<ListKind> active;  // the plug-in's list, as its last "Q" reply named it
  ListFetch fetch;
  std::vector<std::string> lists[kListKinds];
  bool listKnown[kListKinds] = {};
  std::vector<Event> events;
};

// Takes bytes off the line; returns the command frame to write now (empty: none).
Bytes Feed(Session& s, const uint8_t* data, size_t length, double nowMs);
// Notices a quiet line; call it on every turn of the loop.
void CheckLine(Session& s, double nowMs);
void Submit(Session& s, Request request);
// Transfers the plug-in's active list from its first entry, into s.lists[kind].
void FetchList(Session& s, ListKind kind);
// Something is queued, in flight or being transferred.
bool Busy(const Session& s);
std::vector<Event> TakeEvents(Session& s);

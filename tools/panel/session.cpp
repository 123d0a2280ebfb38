#include "session.h"

#include <utility>

namespace {

void Emit(Session& s, EventKind kind, std::string label = "", Bytes payload = {}) {
  Event e;
  e.kind = kind;
  e.label = std::move(label);
  e.payload = std::move(payload);
  s.events.push_back(std::move(e));
}

void EmitList(Session& s, EventKind kind, ListKind list, size_t count, bool asked = true) {
  Event e;
  e.kind = kind;
  e.list = list;
  e.count = count;
  e.asked = asked;
  s.events.push_back(std::move(e));
}

bool SameStatus(const Status& a, const Status& b) {
  return a.playState == b.playState && a.shuffle == b.shuffle && a.minutes == b.minutes && a.seconds == b.seconds &&
         a.length == b.length && a.position == b.position && a.title == b.title && a.folder == b.folder;
}

// ---- list transfer ----

void StartFetch(Session& s, ListKind kind) {
  const unsigned generation = s.fetch.generation + 1;
  s.fetch = ListFetch{};
  s.fetch.generation = generation;
  s.fetch.active = true;
  s.fetch.kind = kind;
}

Request FetchStep(const Session& s) {
  Request r;
  if (!s.fetch.restarted) {
    r.payload = CommandPayload('L', kRestart);
    r.expect = ReplyForm::ListRestarted;
    r.label = "list restart";
  } else {
    r.payload = CommandPayload('L', kNextChunk);
    r.expect = ReplyForm::ListChunk;
    r.label = "list chunk";
  }
  return r;
}

void FinishFetch(Session& s) {
  const int k = static_cast<int>(s.fetch.kind);
  s.lists[k] = std::move(s.fetch.titles);
  s.listKnown[k] = true;
  s.fetch.active = false;
  EmitList(s, EventKind::ListDone, s.fetch.kind, s.lists[k].size());
}

void FailFetch(Session& s, const std::string& why) {
  s.fetch.active = false;
  Emit(s, EventKind::ListFailed, why);
}

// A chunk or an acknowledgement was lost, or the plug-in started afresh: the cursor is
// no longer where the titles so far say, so the transfer starts over.
void RetryFetch(Session& s, const std::string& why) {
  if (++s.fetch.attempts >= kFetchAttempts) return FailFetch(s, why);
  s.fetch.restarted = false;
  s.fetch.titles.clear();
}

bool StepOfThisFetch(const Session& s) { return s.fetch.active && s.inFlightGeneration == s.fetch.generation; }

void OnFetchReply(Session& s, ReplyForm form, const Bytes& p) {
  if (!StepOfThisFetch(s)) return;  // the transfer ended or was replaced while this step was out
  if (form == ReplyForm::ListRestarted) {
    s.fetch.restarted = true;
  } else if (form == ReplyForm::ListEnd) {
    FinishFetch(s);
  } else if (form == ReplyForm::ListChunk) {
    for (std::string& t : ChunkTitles(p)) s.fetch.titles.push_back(std::move(t));
    if (s.fetch.titles.size() > kMaxListEntries) return FailFetch(s, "the list runs past 500 entries");
    EmitList(s, EventKind::ListProgress, s.fetch.kind, s.fetch.titles.size());
  }
}

// ---- replies ----

void OnChosen(Session& s, const Bytes& p, bool asked) {
  const auto kind = ChosenKind(p);
  if (!kind) return Emit(s, EventKind::ListUnchanged);
  const bool interrupted = s.fetch.active && s.fetch.kind != *kind;
  s.active = kind;
  EmitList(s, EventKind::ListChosen, *kind, 0, asked);
  s.events.back().interrupted = interrupted;
  StartFetch(s, *kind);
}

bool Answers(const Session& s, ReplyForm form, const Bytes& p) {
  if (!s.inFlight || s.replied) return false;
  const ReplyForm want = s.inFlight->expect;
  if (form != want && !(want == ReplyForm::ListChunk && form == ReplyForm::ListEnd)) return false;
  const int tag = EchoedTag(form, p);
  return tag < 0 || tag == s.inFlight->payload[1];
}

void OnReply(Session& s, const Bytes& p) {
  const ReplyForm form = ClassifyReply(p);
  if (Answers(s, form, p)) {
    s.replied = true;
    if (s.inFlightFetches) return OnFetchReply(s, form, p);
    if (form == ReplyForm::ListChosen) return OnChosen(s, p, true);
    return Emit(s, EventKind::Replied, s.inFlight->label, p);
  }
  if (form == ReplyForm::ListChosen) return OnChosen(s, p, false);  // the player's playlist changed
  s.strays++;
  Emit(s, EventKind::Stray, ReplyFormName(form), p);
}

// ---- commands ----

void Follow(Session& s, FollowUp then) {
  Request r;
  r.expect = ReplyForm::ListChosen;
  if (then == FollowUp::RefreshFolder) {
    r.payload = CommandPayload('Q', kEnter, kNoEntry);
    r.label = "refresh folder";
  } else if (then == FollowUp::RefreshPlaylist) {
    r.payload = CommandPayload('Q', kPlaylistTitles);
    r.label = "refresh playlist";
  } else {
    return;
  }
  s.queue.push_back(std::move(r));
}

void Conclude(Session& s) {
  const Request done = std::move(*s.inFlight);
  const bool fetching = s.inFlightFetches;
  s.inFlight.reset();
  if (done.expect != ReplyForm::None && !s.replied) {
    if (!fetching) return Emit(s, EventKind::NoReply, done.label);
    if (StepOfThisFetch(s)) RetryFetch(s, "no reply to " + done.label);
    return;
  }
  if (!fetching) Follow(s, done.then);
}

Bytes SendNext(Session& s) {
  if (s.inFlight) return {};
  Request r;
  if (!s.queue.empty()) {
    r = std::move(s.queue.front());
    s.queue.pop_front();
    s.inFlightFetches = false;
  } else if (s.fetch.active) {
    r = FetchStep(s);
    s.inFlightFetches = true;
    s.inFlightGeneration = s.fetch.generation;
  } else {
    return {};
  }
  s.tag = static_cast<uint8_t>(s.tag % 255 + 1);
  if (r.payload.size() > 1 && !r.asGiven) r.payload[1] = s.tag;
  s.ticksSinceSend = 0;
  s.replied = false;
  const Bytes frame = EncodeFrame(r.payload);
  if (!s.inFlightFetches) Emit(s, EventKind::Sent, r.label, r.payload);
  s.inFlight = std::move(r);
  return frame;
}

void OnStatus(Session& s, const Status& status, double nowMs) {
  s.lastStatusMs = nowMs;
  if (s.quiet) {
    s.quiet = false;
    Emit(s, EventKind::LineBack);
    // The plug-in may have started afresh meanwhile: its cursor is not to be trusted.
    if (s.fetch.active) RetryFetch(s, "the line went quiet during the transfer");
  }
  if (!s.status || !SameStatus(*s.status, status)) {
    s.status = status;
    Emit(s, EventKind::Status);
  }
  if (s.inFlight && ++s.ticksSinceSend >= kTicksPerCommand) Conclude(s);
}

}  // namespace

Bytes Feed(Session& s, const uint8_t* data, size_t length, double nowMs) {
  s.stream.insert(s.stream.end(), data, data + length);
  // Only the last frame of a batch can open the plug-in's window: after an older
  // status frame, or after a reply, the window is already past.
  bool afterStatus = false;
  while (auto frame = TakeFrame(s.stream, &s.broken)) {
    s.frames++;
    if (auto status = DecodeStatus(frame->payload)) {
      OnStatus(s, *status, nowMs);
      afterStatus = true;
    } else {
      OnReply(s, frame->payload);
      afterStatus = false;
    }
  }
  return afterStatus && s.stream.empty() ? SendNext(s) : Bytes{};
}

void CheckLine(Session& s, double nowMs) {
  if (s.startMs < 0) s.startMs = nowMs;
  const double since = s.lastStatusMs >= 0 ? s.lastStatusMs : s.startMs;
  if (!s.quiet && nowMs - since > kQuietMs) {
    s.quiet = true;
    Emit(s, EventKind::LineQuiet);
  }
}

void Submit(Session& s, Request request) { s.queue.push_back(std::move(request)); }

void FetchList(Session& s, ListKind kind) { StartFetch(s, kind); }

bool Busy(const Session& s) { return !s.queue.empty() || s.inFlight || s.fetch.active; }

std::vector<Event> TakeEvents(Session& s) { return std::exchange(s.events, {}); }

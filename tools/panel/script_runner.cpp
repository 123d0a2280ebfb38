#include "script_runner.h"

#include <cstdlib>

#include "describe.h"
#include "panel.h"

namespace {

struct Run {
  Panel panel;
  Line& line;
  std::FILE* out;
  bool failed = false;
};

void PrintList(Run& run, ListKind kind) {
  const auto& titles = run.panel.session.lists[static_cast<int>(kind)];
  std::fprintf(run.out, "list %s %zu\n", ListKindName(kind), titles.size());
  for (size_t i = 0; i < titles.size(); i++) std::fprintf(run.out, "  %zu %s\n", i, titles[i].c_str());
}

void Print(Run& run, const Event& e) {
  Absorb(run.panel, e);
  if (e.kind == EventKind::Status) {
    std::fprintf(run.out, "status %s\n", StatusText(*run.panel.session.status).c_str());
  } else if (e.kind == EventKind::ListDone) {
    PrintList(run, e.list);
  } else if (const std::string text = EventText(e); !text.empty()) {
    std::fprintf(run.out, "%s\n", text.c_str());
  }
  if (e.kind == EventKind::NoReply || e.kind == EventKind::ListFailed) run.failed = true;
}

void Turn(Run& run, int waitMs) {
  Pump(run.line, run.panel.session, waitMs);
  for (const Event& e : TakeEvents(run.panel.session)) Print(run, e);
  std::fflush(run.out);
}

void WaitFor(Run& run, double ms) {
  const double until = run.line.NowMs() + ms;
  while (run.line.NowMs() < until) Turn(run, 10);
}

bool WaitUntilIdle(Run& run, double timeoutMs) {
  const double until = run.line.NowMs() + timeoutMs;
  while (Busy(run.panel.session)) {
    if (run.line.NowMs() >= until) return false;
    Turn(run, 10);
  }
  return true;
}

// ---- entries ----

std::string Resolve(Run& run, ListKind list, const std::string& what, int* index) {
  const auto found = FindEntry(run.panel, list, what);
  if (!found) return "no entry \"" + what + "\" in the " + ListKindName(list) + " list";
  *index = *found;
  return "";
}

// "info playlist 3", or "info 3" and "info Some Title" for the list shown.
std::string SourceAndEntry(Run& run, const ScriptStep& step, SongSource* source, int* index) {
  static const char* const kSources[] = {"browsed", "playlist", "search"};
  std::string what = step.args.back();
  if (step.args.size() == 2) {
    int named = -1;
    for (int i = 0; i < 3; i++) {
      if (step.args[0] == kSources[i]) named = i;
    }
    if (named < 0) {
      what = step.args[0] + " " + step.args[1];
    } else {
      *source = static_cast<SongSource>(named);
      return Resolve(run, ListOf(*source), what, index);
    }
  }
  if (!run.panel.view) return "no list chosen yet: name playlist, browsed or search";
  *source = SourceOf(*run.panel.view);
  return Resolve(run, *run.panel.view, what, index);
}

using EntryAction = std::string (*)(Panel&, int);

std::string OnEntry(Run& run, ListKind list, const std::string& what, EntryAction action) {
  int index = 0;
  if (std::string why = Resolve(run, list, what, &index); !why.empty()) return why;
  return action(run.panel, index);
}

ListKind ViewOr(const Run& run, ListKind fallback) { return run.panel.view.value_or(fallback); }

// ---- the verbs ----

std::string Execute(Run& run, const ScriptStep& step) {
  Panel& p = run.panel;
  const std::string& v = step.verb;
  const std::string first = step.args.empty() ? "" : step.args[0];
  if (v == "play")
    return first.empty() ? Transport(p, kPlay) : OnEntry(run, ViewOr(run, ListKind::Folder), first, PlayEntry);
  if (v == "pause") return Transport(p, kPause);
  if (v == "stop") return Transport(p, kStop);
  if (v == "next") return Transport(p, kNext);
  if (v == "prev") return Transport(p, kPrevious);
  if (v == "volume") return Volume(p, first == "up");
  if (v == "shuffle") return Shuffle(p, first == "on");
  if (v == "time") return SwitchTimeMode(p);
  if (v == "browse") return first == "root" ? BrowseRoot(p) : first == "up" ? BrowseUp(p) : Choose(p, ListKind::Folder);
  if (v == "enter") return OnEntry(run, ListKind::Folder, first, EnterFolder);
  if (v == "playlist") return Choose(p, ListKind::Playlist);
  if (v == "search") return Search(p, first);
  if (v == "list") return Refetch(p);
  if (v == "enqueue") return OnEntry(run, ListKind::Folder, first, EnqueueFolder);
  if (v == "add")
    return OnEntry(run, ViewOr(run, ListKind::Folder) == ListKind::Search ? ListKind::Search : ListKind::Folder, first,
                   AddEntry);
  if (v == "delete") return OnEntry(run, ListKind::Playlist, first, DeleteEntry);
  if (v == "save") return SavePlaylist(p);
  if (v == "clear") return ClearPlaylist(p);
  if (v == "move") {
    int from = 0;
    if (std::string why = Resolve(run, ListKind::Playlist, first, &from); !why.empty()) return why;
    const std::string& to = step.args[1];
    if (to.find_first_not_of("0123456789") != std::string::npos || to.size() > 5) return "a position is a number";
    return MoveEntry(p, from, std::atoi(to.c_str()));
  }
  if (v == "info" || v == "dump") {
    SongSource source = kFromBrowsed;
    int index = 0;
    if (std::string why = SourceAndEntry(run, step, &source, &index); !why.empty()) return why;
    return v == "info" ? SongInfo(p, source, index) : DumpSong(p, source, index);
  }
  if (v == "raw") {
    Bytes payload;
    for (const std::string& a : step.args)
      payload.push_back(static_cast<uint8_t>(std::strtoul(a.c_str(), nullptr, 16)));
    return SendRaw(p, payload);
  }
  return "cannot run " + v;
}

void RunStep(Run& run, const ScriptStep& step, const ScriptOptions& options) {
  std::fprintf(run.out, "> %s\n", step.text.c_str());
  if (step.verb == "wait") return WaitFor(run, std::atof(step.args[0].c_str()) * 1000);
  if (step.verb == "status") {
    const auto& status = run.panel.session.status;
    std::fprintf(run.out, "status %s\n", status ? StatusText(*status).c_str() : "unknown: no status frame yet");
    return;
  }
  if (std::string why = Execute(run, step); !why.empty()) {
    std::fprintf(run.out, "refused: %s\n", why.c_str());
    run.failed = true;
    return;
  }
  if (!WaitUntilIdle(run, options.stepTimeoutMs)) {
    std::fprintf(run.out, "timeout: %s not done\n", step.text.c_str());
    run.failed = true;
    // What was queued for this step must not run in the middle of the next one.
    run.panel.session.queue.clear();
    run.panel.session.fetch.active = false;
  }
}

}  // namespace

int RunScript(const std::vector<ScriptStep>& steps, Line& line, std::FILE* out, const ScriptOptions& options) {
  Run run{Panel{}, line, out};
  for (const ScriptStep& step : steps) RunStep(run, step, options);
  // A reply or a status change that came with the last step's end is printed too.
  Turn(run, 0);
  std::fprintf(out, "end frames %ld bad %d\n", run.panel.session.frames, run.panel.session.broken);
  std::fflush(out);
  return run.failed ? 1 : 0;
}

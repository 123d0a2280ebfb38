#include "panel.h"

#include <cctype>
#include <cstdio>

namespace {

std::string Lower(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool IsNumber(const std::string& text) {
  if (text.empty() || text.size() > 5) return false;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

std::string Queue(Panel& panel, Bytes payload, std::string label, ReplyForm expect = ReplyForm::None,
                  FollowUp then = FollowUp::None) {
  if (panel.session.queue.size() >= kMaxWaiting) return "busy: commands are still waiting for the line";
  Request r;
  r.payload = std::move(payload);
  r.label = std::move(label);
  r.expect = expect;
  r.then = then;
  Submit(panel.session, std::move(r));
  return "";
}

std::string Numbered(const char* what, int index) {
  char text[64];
  std::snprintf(text, sizeof text, "%s %d", what, index);
  return text;
}

// An index the panel has seen to be past the end of its list is refused here; one of a
// list not fetched yet goes to the plug-in, which ignores what names no entry.
std::string CheckIndex(const Panel& panel, ListKind list, int index) {
  const auto& titles = panel.session.lists[static_cast<int>(list)];
  if (index < 0 || index > 0xFFFF) return "no such entry";
  if (panel.session.listKnown[static_cast<int>(list)] && static_cast<size_t>(index) >= titles.size()) {
    return Numbered("no entry", index) + " in the " + ListKindName(list) + " list";
  }
  return "";
}

// Refresh the browsed folder only while the user looks at it: choosing it would make it
// the plug-in's list, and choosing it again later sorts it anyway.
FollowUp FolderFollowUp(const Panel& panel) {
  return panel.view == ListKind::Folder ? FollowUp::RefreshFolder : FollowUp::None;
}

FollowUp PlaylistFollowUp(const Panel& panel) {
  return panel.view == ListKind::Playlist ? FollowUp::RefreshPlaylist : FollowUp::None;
}

}  // namespace

void Absorb(Panel& panel, const Event& event) {
  if (event.kind != EventKind::ListChosen) return;
  if (event.asked) {
    panel.view = event.list;
  } else if (event.interrupted && panel.view && panel.view != event.list) {
    Choose(panel, *panel.view);
  }
}

std::optional<int> FindEntry(const Panel& panel, ListKind list, const std::string& what) {
  if (IsNumber(what)) return std::stoi(what);
  const auto& titles = panel.session.lists[static_cast<int>(list)];
  const std::string want = Lower(what);
  for (size_t i = 0; i < titles.size(); i++) {
    const std::string title = Lower(titles[i]);
    const bool folderByName =
        list == ListKind::Folder && title.size() > 1 && title[0] == '\\' && title.substr(1) == want;
    if (title == want || folderByName) return static_cast<int>(i);
  }
  return std::nullopt;
}

bool IsFolderEntry(const Panel& panel, int index) {
  const std::string title = EntryTitle(panel, ListKind::Folder, index);
  return !title.empty() && title[0] == '\\';
}

std::string EntryTitle(const Panel& panel, ListKind list, int index) {
  const auto& titles = panel.session.lists[static_cast<int>(list)];
  return index >= 0 && static_cast<size_t>(index) < titles.size() ? titles[static_cast<size_t>(index)] : "";
}

SongSource SourceOf(ListKind list) {
  switch (list) {
    case ListKind::Playlist: return kFromPlaylist;
    case ListKind::Folder: return kFromBrowsed;
    case ListKind::Search: return kFromSearch;
  }
  return kFromBrowsed;
}

std::string Transport(Panel& panel, PlaySub which) {
  static const char* const kNames[] = {"play", "", "", "", "", "pause", "stop", "next", "previous"};
  if (which != kPlay && which < kPause) return "not a transport key";
  return Queue(panel, CommandPayload('P', which), kNames[which]);
}

std::string Volume(Panel& panel, bool louder) {
  return Queue(panel, CommandPayload('S', louder ? kLouder : kSofter), louder ? "volume up" : "volume down");
}

std::string Shuffle(Panel& panel, bool on) {
  return Queue(panel, CommandPayload('O', on ? kShuffleOn : kShuffleOff), on ? "shuffle on" : "shuffle off");
}

std::string SwitchTimeMode(Panel& panel) { return Queue(panel, CommandPayload('O', kTimeMode), "time mode"); }

std::string Choose(Panel& panel, ListKind list) {
  switch (list) {
    case ListKind::Playlist:
      return Queue(panel, CommandPayload('Q', kPlaylistTitles), "playlist", ReplyForm::ListChosen);
    case ListKind::Folder: return Queue(panel, CommandPayload('Q', kEnter, kNoEntry), "folder", ReplyForm::ListChosen);
    case ListKind::Search:
      if (panel.lastSearch.empty()) return "nothing searched yet";
      return Search(panel, panel.lastSearch);
  }
  return "no such list";
}

std::string BrowseUp(Panel& panel) { return Queue(panel, CommandPayload('Q', kUp), "up", ReplyForm::ListChosen); }

std::string BrowseRoot(Panel& panel) { return Queue(panel, CommandPayload('Q', kRoot), "root", ReplyForm::ListChosen); }

std::string EnterFolder(Panel& panel, int index) {
  if (std::string why = CheckIndex(panel, ListKind::Folder, index); !why.empty()) return why;
  if (panel.session.listKnown[static_cast<int>(ListKind::Folder)] && !IsFolderEntry(panel, index)) {
    return Numbered("entry", index) + " is not a folder";
  }
  return Queue(panel, CommandPayload('Q', kEnter, static_cast<uint16_t>(index)), Numbered("enter", index),
               ReplyForm::ListChosen);
}

std::string Search(Panel& panel, const std::string& text) {
  if (text.empty()) return "search for what?";
  panel.lastSearch = text.substr(0, kSearchTextRoom - 1);
  return Queue(panel, SearchPayload(text), "search " + panel.lastSearch, ReplyForm::ListChosen);
}

std::string Refetch(Panel& panel) {
  if (!panel.view) return "no list chosen yet";
  if (panel.session.active != panel.view) return Choose(panel, *panel.view);
  FetchList(panel.session, *panel.view);
  return "";
}

std::string PlayEntry(Panel& panel, int index) {
  if (!panel.view) return "no list chosen yet";
  if (std::string why = CheckIndex(panel, *panel.view, index); !why.empty()) return why;
  const auto at = static_cast<uint16_t>(index);
  switch (*panel.view) {
    case ListKind::Playlist: return Queue(panel, CommandPayload('P', kPlayEntry, at), Numbered("play entry", index));
    case ListKind::Folder:
      if (IsFolderEntry(panel, index)) return Numbered("entry", index) + " is a folder: enter or enqueue it";
      return Queue(panel, CommandPayload('P', kPlayBrowsed, at), Numbered("play browsed", index));
    case ListKind::Search: return Queue(panel, CommandPayload('P', kPlayFound, at), Numbered("play found", index));
  }
  return "no such list";
}

std::string EnqueueFolder(Panel& panel, int index) {
  if (std::string why = CheckIndex(panel, ListKind::Folder, index); !why.empty()) return why;
  if (panel.session.listKnown[static_cast<int>(ListKind::Folder)] && !IsFolderEntry(panel, index)) {
    return Numbered("entry", index) + " is not a folder";
  }
  return Queue(panel, CommandPayload('P', kEnqueueFolder, static_cast<uint16_t>(index)), Numbered("enqueue", index),
               ReplyForm::None, FolderFollowUp(panel));
}

std::string AddEntry(Panel& panel, int index) {
  const ListKind list = panel.view == ListKind::Search ? ListKind::Search : ListKind::Folder;
  if (std::string why = CheckIndex(panel, list, index); !why.empty()) return why;
  const auto at = static_cast<uint16_t>(index);
  if (list == ListKind::Search) {
    return Queue(panel, EditPayload(kAddFound, at), Numbered("add found", index), ReplyForm::Edited);
  }
  // A folder is added through a scan that leaves the browse tables in listing order.
  const FollowUp then = IsFolderEntry(panel, index) ? FolderFollowUp(panel) : FollowUp::None;
  return Queue(panel, EditPayload(kAddBrowsed, at), Numbered("add browsed", index), ReplyForm::Edited, then);
}

std::string DeleteEntry(Panel& panel, int index) {
  if (std::string why = CheckIndex(panel, ListKind::Playlist, index); !why.empty()) return why;
  return Queue(panel, EditPayload(kDelete, static_cast<uint16_t>(index)), Numbered("delete", index), ReplyForm::Edited,
               PlaylistFollowUp(panel));
}

std::string MoveEntry(Panel& panel, int from, int to) {
  if (std::string why = CheckIndex(panel, ListKind::Playlist, from); !why.empty()) return why;
  if (std::string why = CheckIndex(panel, ListKind::Playlist, to); !why.empty()) return "target: " + why;
  char label[64];
  std::snprintf(label, sizeof label, "move %d to %d", from, to);
  return Queue(panel, EditPayload(kMove, static_cast<uint16_t>(from), static_cast<uint16_t>(to)), label,
               ReplyForm::Edited, PlaylistFollowUp(panel));
}

std::string SavePlaylist(Panel& panel) { return Queue(panel, EditPayload(kSave, 0), "save", ReplyForm::Edited); }

std::string ClearPlaylist(Panel& panel) {
  return Queue(panel, EditPayload(kClear, 0), "clear", ReplyForm::Edited, PlaylistFollowUp(panel));
}

ListKind ListOf(SongSource source) {
  return source == kFromPlaylist ? ListKind::Playlist : source == kFromSearch ? ListKind::Search : ListKind::Folder;
}

std::string SongInfo(Panel& panel, SongSource source, int index) {
  if (std::string why = CheckIndex(panel, ListOf(source), index); !why.empty()) return why;
  return Queue(panel, CommandPayload('I', source, static_cast<uint16_t>(index)), Numbered("info", index),
               ReplyForm::SongInfo);
}

std::string DumpSong(Panel& panel, SongSource source, int index) {
  if (source == kFromSearch) return "only browsed and playlist songs can be dumped";
  const ListKind list = ListOf(source);
  if (std::string why = CheckIndex(panel, list, index); !why.empty()) return why;
  if (source == kFromBrowsed && IsFolderEntry(panel, index)) return Numbered("entry", index) + " is a folder";
  // The browse tables are rescanned in listing order after a browsed song goes.
  const FollowUp then = source == kFromBrowsed ? FolderFollowUp(panel) : FollowUp::None;
  return Queue(panel, CommandPayload('F', source, static_cast<uint16_t>(index)), Numbered("dump", index),
               ReplyForm::Dumped, then);
}

std::string SendRaw(Panel& panel, const Bytes& payload) {
  if (payload.empty() || payload.size() > 250) return "a payload has 1 to 250 bytes";
  // The reply, if any, comes back as a stray: the panel cannot know what it asked for.
  Request r;
  r.payload = payload;
  r.label = "raw";
  r.asGiven = true;
  Submit(panel.session, std::move(r));
  return "";
}

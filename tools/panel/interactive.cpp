#include "interactive.h"

#include <curses.h>

#include <algorithm>
#include <cstdlib>

#include "describe.h"
#include "keymap.h"
#include "screen.h"

namespace {

int Selected(const ScreenState& s) { return s.cursor[static_cast<int>(ShownList(s))]; }

std::string SelectedTitle(const ScreenState& s) { return EntryTitle(s.panel, ShownList(s), Selected(s)); }

void Ask(ScreenState& s, const std::string& question, std::function<void(ScreenState&)> onYes) {
  s.overlay = Overlay::Confirm;
  s.box = {question, "", "y: yes    any other key: no"};
  s.onYes = std::move(onYes);
}

void Prompt(ScreenState& s, const std::string& prompt, std::function<void(ScreenState&, const std::string&)> onInput) {
  s.overlay = Overlay::Prompt;
  s.prompt = prompt;
  s.input.clear();
  s.onInput = std::move(onInput);
}

void Note(ScreenState& s, const std::string& why) {
  if (!why.empty()) s.lastReply = why;
}

void Open(ScreenState& s) {
  const int i = Selected(s);
  if (ShownList(s) == ListKind::Folder && IsFolderEntry(s.panel, i)) {
    s.cursor[static_cast<int>(ListKind::Folder)] = 0;
    return Note(s, EnterFolder(s.panel, i));
  }
  Note(s, PlayEntry(s.panel, i));
}

void AskDump(ScreenState& s) {
  const ListKind list = ShownList(s);
  const int i = Selected(s);
  if (list == ListKind::Search) return Note(s, "only browsed and playlist songs can be dumped");
  Ask(s, "Dump \"" + SelectedTitle(s) + "\" into the dump folder?",
      [list, i](ScreenState& st) { Note(st, DumpSong(st.panel, SourceOf(list), i)); });
}

void AskMove(ScreenState& s) {
  const int from = Selected(s);
  Prompt(s, "move entry " + std::to_string(from) + " to: ", [from](ScreenState& st, const std::string& to) {
    if (to.empty() || to.find_first_not_of("0123456789") != std::string::npos || to.size() > 5) {
      return Note(st, "a position is a number");
    }
    Note(st, MoveEntry(st.panel, from, std::atoi(to.c_str())));
  });
}

void MoveCursor(ScreenState& s, int by, bool absolute = false) {
  const int k = static_cast<int>(ShownList(s));
  const int count = static_cast<int>(s.panel.session.lists[k].size());
  s.cursor[k] = std::clamp(absolute ? by : s.cursor[k] + by, 0, std::max(count - 1, 0));
}

// Returns false when the user quits.
bool Act(ScreenState& s, KeyAction action) {
  Panel& p = s.panel;
  const int page = std::max(LINES - 7, 1);
  switch (action) {
    case KeyAction::Play: Note(s, Transport(p, kPlay)); break;
    case KeyAction::Pause: Note(s, Transport(p, kPause)); break;
    case KeyAction::Stop: Note(s, Transport(p, kStop)); break;
    case KeyAction::Next: Note(s, Transport(p, kNext)); break;
    case KeyAction::Previous: Note(s, Transport(p, kPrevious)); break;
    case KeyAction::VolumeUp: Note(s, Volume(p, true)); break;
    case KeyAction::VolumeDown: Note(s, Volume(p, false)); break;
    case KeyAction::Shuffle: Note(s, Shuffle(p, !(p.session.status && p.session.status->shuffle))); break;
    case KeyAction::TimeMode: Note(s, SwitchTimeMode(p)); break;
    case KeyAction::Open: Open(s); break;
    case KeyAction::Up:
      Note(s, BrowseUp(p));
      s.cursor[static_cast<int>(ListKind::Folder)] = 0;
      break;
    case KeyAction::Root:
      Note(s, BrowseRoot(p));
      s.cursor[static_cast<int>(ListKind::Folder)] = 0;
      break;
    case KeyAction::Folder: Note(s, Choose(p, ListKind::Folder)); break;
    case KeyAction::Playlist: Note(s, Choose(p, ListKind::Playlist)); break;
    case KeyAction::Search:
      Prompt(s, "search: ", [](ScreenState& st, const std::string& text) {
        st.cursor[static_cast<int>(ListKind::Search)] = 0;
        Note(st, Search(st.panel, text));
      });
      break;
    case KeyAction::Refetch: Note(s, Refetch(p)); break;
    case KeyAction::Enqueue: Note(s, EnqueueFolder(p, Selected(s))); break;
    case KeyAction::Add: Note(s, AddEntry(p, Selected(s))); break;
    case KeyAction::Delete:
      Note(s, ShownList(s) == ListKind::Playlist ? DeleteEntry(p, Selected(s)) : "delete works in the playlist (l)");
      break;
    case KeyAction::Move:
      if (ShownList(s) == ListKind::Playlist) {
        AskMove(s);
      } else {
        Note(s, "move works in the playlist (l)");
      }
      break;
    case KeyAction::Save: Note(s, SavePlaylist(p)); break;
    case KeyAction::Clear:
      Ask(s, "Clear the playlist?", [](ScreenState& st) { Note(st, ClearPlaylist(st.panel)); });
      break;
    case KeyAction::Info: Note(s, SongInfo(p, SourceOf(ShownList(s)), Selected(s))); break;
    case KeyAction::Dump: AskDump(s); break;
    case KeyAction::CursorUp: MoveCursor(s, -1); break;
    case KeyAction::CursorDown: MoveCursor(s, 1); break;
    case KeyAction::PageUp: MoveCursor(s, -page); break;
    case KeyAction::PageDown: MoveCursor(s, page); break;
    case KeyAction::First: MoveCursor(s, 0, true); break;
    case KeyAction::Last: MoveCursor(s, 0x7FFF, true); break;
    case KeyAction::Help:
      s.overlay = Overlay::Help;
      s.box = KeyHelpLines();
      break;
    case KeyAction::Quit: return false;
    case KeyAction::None: break;
  }
  return true;
}

void PromptKey(ScreenState& s, int key) {
  if (key == 27) {
    s.overlay = Overlay::None;
  } else if (key == '\n' || key == '\r' || key == KEY_ENTER) {
    s.overlay = Overlay::None;
    if (s.onInput) s.onInput(s, s.input);
  } else if ((key == KEY_BACKSPACE || key == 127 || key == 8) && !s.input.empty()) {
    s.input.pop_back();
  } else if (key >= 32 && key < 127 && s.input.size() < 19) {
    s.input.push_back(static_cast<char>(key));
  }
}

// Returns false when the user quits.
bool Key(ScreenState& s, int key) {
  switch (s.overlay) {
    case Overlay::Prompt: PromptKey(s, key); return true;
    case Overlay::Confirm:
      s.overlay = Overlay::None;
      if (key == 'y' || key == 'Y')
        s.onYes(s);
      else
        s.lastReply = "not done";
      return true;
    case Overlay::Help:
    case Overlay::Info: s.overlay = Overlay::None; return true;
    case Overlay::None: return Act(s, ActionForKey(key));
  }
  return true;
}

void ShowInfo(ScreenState& s, const Bytes& payload) {
  const SongDetails d = DecodeSongInfo(payload);
  char length[16] = "unknown";
  if (d.seconds >= 0 && d.seconds < 60) std::snprintf(length, sizeof length, "%d:%02d", d.minutes, d.seconds);
  s.overlay = Overlay::Info;
  s.box = {"Song info",
           "",
           "artist   " + d.artist,
           "title    " + d.title,
           std::string("length   ") + length,
           // 0 is the command's own byte: the player reported nothing
           "bitrate  " + (d.bitrate ? std::to_string(d.bitrate) + " kbit/s (low 8 bits)" : "unknown"),
           "year     " + (d.year ? std::to_string(d.year) : "unknown"),
           "type     " + d.type,
           "",
           "any key closes"};
}

void OnEvent(ScreenState& s, const Event& e) {
  Absorb(s.panel, e);
  switch (e.kind) {
    case EventKind::Replied:
      if (ClassifyReply(e.payload) == ReplyForm::SongInfo) ShowInfo(s, e.payload);
      break;
    case EventKind::Sent: s.lastReply = "sent " + e.label; return;
    default: break;
  }
  if (std::string text = EventText(e); !text.empty()) s.lastReply = text;
  if (e.kind == EventKind::ListDone) {
    s.lastReply = std::string(ListTitle(e.list)) + ": " + std::to_string(e.count) + " entries";
  }
}

}  // namespace

int RunInteractive(Line& line, const std::string& deviceName) {
  ScreenState s;
  s.device = deviceName;
  s.lastReply = "press ? for the keys";
  initscr();
  cbreak();
  noecho();
  keypad(stdscr, TRUE);
  nodelay(stdscr, TRUE);
  curs_set(0);
  set_escdelay(25);
  // Start where a panel starts: show the folder being browsed.
  Choose(s.panel, ListKind::Folder);
  double nextDraw = 0;
  for (bool running = true; running;) {
    Pump(line, s.panel.session, 10);
    for (const Event& e : TakeEvents(s.panel.session)) OnEvent(s, e);
    for (int key; running && (key = getch()) != ERR;) {
      if (key == KEY_RESIZE) continue;
      running = Key(s, key);
      nextDraw = 0;
    }
    if (line.NowMs() >= nextDraw) {
      DrawScreen(s);
      nextDraw = line.NowMs() + 50;
    }
  }
  endwin();
  return 0;
}

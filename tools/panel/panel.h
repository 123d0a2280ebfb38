// What the panel's user can ask for, turned into commands: the keys of the screen and
// the lines of a script both come here. The panel remembers which list its user chose
// to look at (the view), so that "play entry 3" means the right command for it.
#pragma once
#include <optional>
#include <string>

#include "session.h"

// Commands waiting beyond this are refused: a quiet line must not pile up key presses.
constexpr size_t kMaxWaiting = 8;

struct Panel {
  Session session;
  std::optional<ListKind> view;
  std::string lastSearch;
};

// Keeps the view in step with the lists the user chose, and chooses the viewed list
// again when the player's own playlist change cut its transfer short; call it for every
// event.
void Absorb(Panel& panel, const Event& event);

// An entry of a list by its index, or by its title (letter case ignored; a folder also
// by its bare name, without the backslash that marks it).
std::optional<int> FindEntry(const Panel& panel, ListKind list, const std::string& what);
bool IsFolderEntry(const Panel& panel, int index);
std::string EntryTitle(const Panel& panel, ListKind list, int index);

// Each returns "" when the command was queued, else why not.
std::string Transport(Panel& panel, PlaySub which);
std::string Volume(Panel& panel, bool louder);
std::string Shuffle(Panel& panel, bool on);
std::string SwitchTimeMode(Panel& panel);
std::string Choose(Panel& panel, ListKind list);  // the list again, as the plug-in has it now
std::string BrowseUp(Panel& panel);
std::string BrowseRoot(Panel& panel);
std::string EnterFolder(Panel& panel, int index);
std::string Search(Panel& panel, const std::string& text);
std::string Refetch(Panel& panel);               // the viewed list, from its first entry
std::string PlayEntry(Panel& panel, int index);  // of the viewed list
std::string EnqueueFolder(Panel& panel, int index);
std::string AddEntry(Panel& panel, int index);     // a browsed song or folder, or a search result
std::string DeleteEntry(Panel& panel, int index);  // playlist entries from here on
std::string MoveEntry(Panel& panel, int from, int to);
std::string SavePlaylist(Panel& panel);
std::string ClearPlaylist(Panel& panel);
std::string SongInfo(Panel& panel, SongSource source, int index);
std::string DumpSong(Panel& panel, SongSource source, int index);
std::string SendRaw(Panel& panel, const Bytes& payload);

// The source of "I" and "F" that names entries of a list, and back.
SongSource SourceOf(ListKind list);
ListKind ListOf(SongSource source);

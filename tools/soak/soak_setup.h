// The soak's installation: a music folder of a few sub-folders and files (names with
// blanks, a name used twice, names too long to dump, files the player does not play,
// an empty folder), a playlist of its songs, search results and file information in the
// emulated player, and complete settings, so that the start-up dialog counts down and
// starts the plug-in by itself.
#pragma once
#include <string>
#include <vector>

#include "file_ledger.h"
#include "panel_line.h"
#include "player_process.h"

// Installs with the panel on COM<port>, starts the player, loads the plug-in and waits
// (bounded) until init has returned. "" when the plug-in runs, otherwise what went wrong.
std::string LaunchSoakPlugin(PlayerProcess& player, FileLedger& ledger, int port);

// The same player started again over what the last one left (its settings, the music
// folder as it is now), as a user who quit it does.
std::string RelaunchSoakPlugin(PlayerProcess& player);

// LaunchSoakPlugin on COM1, then waits for the first status frames on line.
std::string StartSoakPlugin(PlayerProcess& player, PanelLine& line, FileLedger& ledger);

// A change from the player's side, by round: a dropped folder of 520 songs (the next tick
// trims it), the user's own few songs, or pause and play in the player's window. "" when
// the player took it, otherwise what it refused.
std::string ChangePlayerSide(PlayerProcess& player, int round, int timeoutMs);

// Model commands that give the player a playlist of songs from the music folder, as a
// user who drops a few of them on it, and flag it changed.
std::vector<std::vector<std::string>> RealPlaylist(const PlayerProcess& player);

// Five new songs across the sub-folders, once dumps have taken most of the old ones.
void Restock(FileLedger& ledger, int round);

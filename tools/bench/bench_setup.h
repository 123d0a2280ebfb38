// The benchmark's installation: what a configured player folder holds, so that the
// start-up dialog finds complete settings, counts down and starts the plug-in by itself.
#pragma once
#include <string>

#include "panel_line.h"
#include "player_process.h"

constexpr int kPlaylistEntries = 500;
// With the two working folders beside them, a music folder of 500 entries.
constexpr int kMusicFiles = 498;
constexpr int kMusicEntries = kMusicFiles + 2;
// The benchmark playlist; entry i is track<i>.mp3.
inline constexpr const char* kTrackPattern = "C:\\Music\\Album\\track%03d.mp3";

// Writes winamp.ini, plugin.ini (COM1 and existing folders) and the music folder, starts
// the player with the playlist, loads the plug-in and waits, bounded, for init to return
// and for the ticks to settle. Returns "" when the plug-in runs, otherwise what went wrong.
std::string StartBenchPlugin(PlayerProcess& player, PanelLine& line);

// The real DLL started in the emulated player as a configured user has it, for the tools
// that drive it from the panel's side (the benchmark, the soak): complete settings, so
// that the start-up dialog counts down and starts the plug-in by itself, and the first
// status frames awaited on the line.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "panel_line.h"
#include "player_process.h"

// Commands of the emulated player, each split into its fields.
using PlayerCommands = std::vector<std::vector<std::string>>;

// The plug-in's section of plugin.ini with this ComPort value, the music folder
// <player folder>/Music/ and its two working folders, QB_Playlists\ and QB_Dumped\, as
// Start writes it.
std::string CompleteSettings(const PlayerProcess& player, const std::string& comPort);

// Writes Plugins\plugin.ini holding only that section, naming the port (COM1 unless given).
void WriteCompleteSettings(PlayerProcess& player, int port = 1);

// Starts the player, gives it the model commands (each must answer "ok"), loads the DLL,
// sends init and waits, bounded, until init has returned. "" when the plug-in runs,
// otherwise what went wrong.
std::string LaunchPlugin(PlayerProcess& player, const PlayerCommands& model);

// LaunchPlugin, then waits (bounded) until `frames` status frames have reached the line.
std::string StartPlugin(PlayerProcess& player, PanelLine& line, const PlayerCommands& model, size_t frames);

// The start-up dialog (resource 101), run modally by init, owned by the host window.
#pragma once

constexpr int kDialogStart = 1;      // the settings in memory are in force: start-up goes on
constexpr int kDialogQuit = 0;       // the user quit or cancelled
constexpr int kDialogNotShown = -1;  // the dialog could not be made: a start-up failure

// Shows the settings, and either closes by itself after a countdown (settings complete,
// port available) or lets the user pick the port and the music folder and press Start.
// Returns kDialogStart, kDialogQuit or kDialogNotShown.
int ConfigDialog();

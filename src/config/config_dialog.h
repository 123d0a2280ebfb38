// The start-up dialog (resource 101), run modally by init, owned by the host window.
#pragma once

// Shows the settings, and either closes by itself after a countdown (settings complete,
// port available) or lets the user pick the port and the music folder and press Start.
// 1: the settings in memory are in force and start-up goes on. 0: the user quit or
// cancelled, or the dialog could not be shown.
int ConfigDialog();

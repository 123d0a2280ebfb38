// The list commands as the panel drives them, timed on the panel's clock. Each panel
// command goes out right after a status frame, while the tick listens for one.
#pragma once
#include <optional>

#include "panel_line.h"
#include "player_process.h"

// Cost of one host message sent from the tick, from ticks that trim a playlist of
// 1000 entries back to 500 (one message per trimmed entry): the extra time of such a
// tick over the idle ticks before it, divided by its extra messages. Median over `rounds`.
std::optional<double> MeasureMessageCost(PanelLine& line, PlayerProcess& player, int rounds);

// Median period of the tick that runs "Q" `sub`, recognised by its reply of list `kind`;
// nullopt when the plug-in does not answer.
std::optional<double> MeasureSelect(PanelLine& line, uint8_t sub, uint8_t kind, int rounds);

struct Transfer {
  double elapsedMs = 0;  // from the status frame answered with "L" 6 to the one after the end
  int chunks = 0;
  int titles = 0;
  int exchanges = 0;     // commands sent: "L" 6, one per chunk, and the last "L" 0
  double commandTickMs = 0;  // median of the ticks that took a command
  double replyTickMs = 0;    // median of the idle ticks that sent a reply
};
// "L" 6, then "L" 0 until the end-of-list acknowledgement; nullopt when a reply does
// not come.
std::optional<Transfer> MeasureTransfer(PanelLine& line);

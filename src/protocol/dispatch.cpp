// Which handler takes which command letter.
#include <cstddef>

#include "protocol/command.h"
#include "protocol/handlers.h"
#include "protocol/poll_tick.h"  // PollStats

namespace {

struct Route {
  uint8_t letter;
  void (*handler)(const uint8_t* command);
};

// "B" (status) and "D" (list data) travel only towards the panel.
constexpr Route kRoutes[] = {
    {'E', HandlePlaylistEdit}, {'F', HandleDump},     {'I', HandleSongInfo},
    {'L', HandleListTransfer}, {'O', HandleOptions},  {'P', HandlePlayback},
    {'Q', HandleListSelect},   {'S', HandleVolume},
};

}  // namespace

void DispatchCommand(const uint8_t* command) {
  PollStats.commands++;
  for (const Route& route : kRoutes) {
    if (route.letter == CommandLetter(command)) {
      route.handler(command);
      return;
    }
  }
  PollStats.unknownLetters++;
}

#include "fakes/fake_handlers.h"

#include "protocol/handlers.h"

std::vector<Dispatched> HandledCommands;
std::function<void(const uint8_t*)> OnHandle;

void ResetFakeHandlers() {
  HandledCommands.clear();
  OnHandle = nullptr;
}

namespace {

void Handle(const uint8_t* command) {
  HandledCommands.push_back({command[0], std::vector<uint8_t>(command, command + 16)});
  if (OnHandle) OnHandle(command);
}

}  // namespace

void HandlePlayback(const uint8_t* c) { Handle(c); }
void HandleOptions(const uint8_t* c) { Handle(c); }
void HandleVolume(const uint8_t* c) { Handle(c); }
void HandleListSelect(const uint8_t* c) { Handle(c); }
void HandleListTransfer(const uint8_t* c) { Handle(c); }
void HandlePlaylistEdit(const uint8_t* c) { Handle(c); }
void HandleSongInfo(const uint8_t* c) { Handle(c); }
void HandleDump(const uint8_t* c) { Handle(c); }

#include "host_replies.h"

#include "player_clock.h"
#include "player_model.h"

namespace {

intptr_t g_playlistWindow = 0;

intptr_t Address(const char* text) { return reinterpret_cast<intptr_t>(text); }

intptr_t PlaylistFile(uintptr_t index, TextLine& details) {
  const char* path = ModelEntry(Model(), static_cast<int32_t>(index));
  LineKey(details, "path", path ? path : "");
  return Address(path);
}

intptr_t IniPath(TextLine& details) {
  const char* path = Model().iniPath[0] != '\0' ? Model().iniPath : nullptr;
  LineKey(details, "path", path ? path : "");
  return Address(path);
}

intptr_t SongTime(uintptr_t which) {
  if (which == 0) return Model().elapsedMs;
  return which == 1 ? Model().trackSeconds : 0;
}

}  // namespace

void SetPlaylistWindowAnswer(intptr_t window) { g_playlistWindow = window; }

intptr_t MainUserMessage(uintptr_t argument, intptr_t code, TextLine& details) {
  PlayerModel& model = Model();
  int32_t value = static_cast<int32_t>(argument);
  switch (code) {
    case 101: ModelClear(model); model.changed = 1; return 0;
    case 104: return model.state;
    case 105: return SongTime(argument);
    case 121: model.position = value; return 0;
    case 122: model.volume = value; return 0;
    case 124: return model.length;
    case 125: return model.position;
    case 211: return PlaylistFile(argument, details);
    case 250: return model.shuffle;
    case 252: model.shuffle = argument != 0 ? 1 : 0; return 0;
    case 260: return argument == 1 ? g_playlistWindow : 0;
    case 296: return TagRequestReply(argument, details);
    case 334: return IniPath(details);
    default: return 0;
  }
}

intptr_t MainButton(uintptr_t id) {
  PlayerModel& model = Model();
  const int32_t before = model.state;
  switch (id) {
    case 40044: if (model.position > 0) --model.position; break;
    case 40045: model.state = 1; break;
    case 40046: model.state = model.state == 1 ? 3 : (model.state == 3 ? 1 : model.state); break;
    case 40047: model.state = 0; break;
    case 40048: if (model.position < model.length - 1) ++model.position; break;
    default: break;
  }
  ClockAfterButton(model, id, before);
  return 0;
}

intptr_t PlaylistUserMessage(uintptr_t code, intptr_t argument) {
  PlayerModel& model = Model();
  int32_t value = static_cast<int32_t>(argument);
  switch (code) {
    case 104:
      if (ModelDelete(model, value)) model.changed = 1;
      return 0;
    case 105:
      if (ModelSwap(model, (value >> 16) & 0xFFFF, value & 0xFFFF)) model.changed = 1;
      return 0;
    case 107: return model.changed != 0 ? 1 : 0;
    case 108: model.changed = 0; return 0;
    default: return 0;
  }
}

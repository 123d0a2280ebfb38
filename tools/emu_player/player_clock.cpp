#include "player_clock.h"

#include <cstring>

namespace {

constexpr int32_t kPlaying = 1;
constexpr int32_t kStopped = 0;
constexpr uintptr_t kPrevious = 40044, kPlay = 40045, kPause = 40046, kStop = 40047, kNext = 40048;

bool g_on = false;
// The song the clock is timing: a path of its own, since the playlist may change under it.
char g_song[kPathCapacity] = {};

// Starts the current entry from its beginning: 0 ms, or nothing (-1) while stopped.
void StartSong(PlayerModel& model, const char* path) {
  std::memcpy(g_song, path, std::strlen(path) + 1);
  model.elapsedMs = model.state == kStopped ? -1 : 0;
  model.trackSeconds = KnownTrackSeconds(path);
}

// Notices a new current song (an entry played, skipped to, replaced): it starts anew.
// An empty playlist holds the clock where it was.
void FollowCurrentEntry(PlayerModel& model) {
  const char* path = ModelEntry(model, model.position);
  if (path == nullptr) {
    g_song[0] = '\0';
    return;
  }
  if (std::strcmp(path, g_song) != 0) StartSong(model, path);
}

// The song ended: the next entry starts, or the player stops after the last one.
void EndSong(PlayerModel& model) {
  if (model.position + 1 < model.length) {
    ++model.position;
    StartSong(model, ModelEntry(model, model.position));
    return;
  }
  model.state = kStopped;
  model.elapsedMs = -1;
}

}  // namespace

void ClockEnable(PlayerModel& model, bool on) {
  g_on = on;
  g_song[0] = '\0';
  if (on) FollowCurrentEntry(model);
}

bool ClockEnabled() { return g_on; }

void ClockAdvance(PlayerModel& model, int32_t ms) {
  if (!g_on) return;
  FollowCurrentEntry(model);
  if (model.state != kPlaying || g_song[0] == '\0' || ms <= 0) return;
  if (model.elapsedMs < 0) model.elapsedMs = 0;
  model.elapsedMs += ms;
  // A length the library does not know never ends the song.
  if (model.trackSeconds > 0 && model.elapsedMs >= model.trackSeconds * 1000) EndSong(model);
}

void ClockAfterButton(PlayerModel& model, uintptr_t id, int32_t before) {
  if (!g_on) return;
  const char* path = ModelEntry(model, model.position);
  switch (id) {
    case kPlay:
      // Play resumes a paused song and starts any other from its beginning.
      if (before != 3 && path != nullptr) StartSong(model, path);
      break;
    case kStop: model.elapsedMs = -1; break;
    case kPrevious:
    case kNext:
      if (path != nullptr) StartSong(model, path);
      break;
    case kPause:
    default: break;
  }
}

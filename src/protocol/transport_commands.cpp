// The panel's remote-control keys: "P" playback, "O" time display and shuffle, "S" volume.
// They post no reply, so a reply still pending stays pending.
#include "protocol/transport_commands.h"

#include "browse/folder_browser.h"
#include "browse/slot_tables.h"
#include "host/host_catalogue.h"
#include "protocol/command_reader.h"
#include "protocol/entry_paths.h"
#include "protocol/folder_enqueue.h"
#include "protocol/handlers.h"
#include "protocol/poll_tick.h"
#include "protocol/status_frame.h"

uint8_t VolumeLevel = 125;

namespace {

enum PlaybackSub : uint8_t {
  kPlay = 0, kPlayEntry = 1, kEnqueueFolder = 2, kPlayBrowsed = 3, kPlayResult = 4,
  kPause = 5, kStop = 6, kNext = 7, kPrevious = 8,
};

constexpr uint8_t kVolumeStep = 10;

// The playlist becomes the one file, playing.
void ReplaceAndPlay(const char* path) {
  HostClearPlaylist();
  HostEnqueueFile(path);
  HostPress(kButtonPlay);
  PlaylistLength = HostPlaylistLength();
}

void PlayEntry(const uint8_t* command) {
  CommandReader reader = ReadCommand(command);
  const uint32_t index = ReadListIndex(&reader, PlaylistLength);
  if (reader.failed) return;
  // Setting the position while paused would leave the player paused on the new entry.
  if (HostPlayState() == kHostPaused) HostPress(kButtonPause);
  HostSetPlaylistPosition(static_cast<int32_t>(index));
  HostPress(kButtonPlay);
}

void EnqueueFolder(const uint8_t* command) {
  CommandReader reader = ReadCommand(command);
  const uint32_t index = ReadListIndex(&reader, BrowseCount);
  if (reader.failed) return;
  uint32_t appended = 0;
  EnqueueFolderFiles(BrowseNames[index], PlaylistLength, &appended);
}

void PlayBrowsed(const uint8_t* command) {
  char path[kPathSize];
  if (BrowsedEntryPath(path, CommandIndex(command))) ReplaceAndPlay(path);
}

void PlayResult(const uint8_t* command) {
  const char* path = LibraryResultPath(CommandIndex(command));
  if (path != nullptr) ReplaceAndPlay(path);
}

}  // namespace

void HandlePlayback(const uint8_t* command) {
  switch (SubCommand(command)) {
    case kPlay: HostPress(kButtonPlay); return;
    case kPlayEntry: PlayEntry(command); return;
    case kEnqueueFolder: EnqueueFolder(command); return;
    case kPlayBrowsed: PlayBrowsed(command); return;
    case kPlayResult: PlayResult(command); return;
    case kPause: HostPress(kButtonPause); return;
    case kStop: HostPress(kButtonStop); return;
    case kNext: HostPress(kButtonNext); return;
    case kPrevious: HostPress(kButtonPrevious); return;
    default: return;
  }
}

void HandleOptions(const uint8_t* command) {
  switch (SubCommand(command)) {
    case 0: TimeDisplayMode = TimeDisplayMode == 0 ? 1 : 0; return;
    case 1: HostSetShuffle(1); return;
    case 2: HostSetShuffle(0); return;
    default: return;
  }
}

// At either end the step is dropped, never clamped: the levels stay 5, 15, ..., 245.
void HandleVolume(const uint8_t* command) {
  switch (SubCommand(command)) {
    case 0:
      if (255 - VolumeLevel <= kVolumeStep) return;
      VolumeLevel = static_cast<uint8_t>(VolumeLevel + kVolumeStep);
      break;
    case 1:
      if (VolumeLevel <= kVolumeStep) return;
      VolumeLevel = static_cast<uint8_t>(VolumeLevel - kVolumeStep);
      break;
    default: return;
  }
  HostSetVolume(VolumeLevel);
}

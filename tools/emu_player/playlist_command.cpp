// "playlist clear", "playlist add <path>", "playlist fill <n> <pattern>".
#include <cstring>

#include "command_table.h"
#include "output_line.h"
#include "player_model.h"
#include "track_pattern.h"

namespace {

void Clear(int count) {
  if (count != 2) {
    EmitError("playlist clear takes no argument");
    return;
  }
  ModelClear(Model());
  EmitOk("playlist");
}

void Add(char** fields, int count) {
  if (count != 3) {
    EmitError("playlist add takes one path");
    return;
  }
  if (!ModelAppend(Model(), fields[2], std::strlen(fields[2]))) {
    EmitError("playlist add path too long or playlist full");
    return;
  }
  EmitOk("playlist");
}

// Entry i gets the number i. The pattern is tried on the largest number, the longest
// path, before the old playlist is dropped: a bad one leaves the playlist as it was.
void Fill(char** fields, int count) {
  int32_t entries = 0;
  if (count != 4 || !ParseInt32(fields[2], &entries) || entries < 0 || entries > kMaxEntries) {
    EmitError("playlist fill expects a count 0..%d and a pattern", static_cast<int>(kMaxEntries));
    return;
  }
  char path[kPathCapacity];
  int32_t largest = entries > 0 ? entries - 1 : 0;
  if (!FormatTrackPath(fields[3], largest, path, sizeof path)) {
    EmitError("playlist fill bad pattern");
    return;
  }
  PlayerModel& model = Model();
  ModelClear(model);
  for (int32_t i = 0; i < entries; ++i) {
    if (!FormatTrackPath(fields[3], i, path, sizeof path)) break;
    ModelAppend(model, path, std::strlen(path));
  }
  EmitOk("playlist");
}

}  // namespace

void CommandPlaylist(char** fields, int count) {
  if (std::strcmp(fields[1], "clear") == 0) {
    Clear(count);
  } else if (std::strcmp(fields[1], "add") == 0) {
    Add(fields, count);
  } else if (std::strcmp(fields[1], "fill") == 0) {
    Fill(fields, count);
  } else {
    EmitError("playlist unknown action %.100s", fields[1]);
  }
}

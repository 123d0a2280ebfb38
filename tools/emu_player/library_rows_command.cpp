// "library <path> <title> <artist> <year> <bitrate> <seconds>" and "library-file <tsv>": songs of the media library. Each song also gets the tags the
// player reads from the file (TITLE, ARTIST, YEAR) and the file information the library
// hands out (its length and BITRATE), so that the plug-in sees one consistent song.
#include <cstdio>
#include <cstring>
#include <string>

#include "command_table.h"
#include "demo_library.h"
#include "file_info.h"
#include "output_line.h"
#include "player_model.h"

namespace {

constexpr size_t kRowCapacity = 4096;

bool Remember(const LibrarySong& song) {
  PlayerModel& model = Model();
  const std::string year = std::to_string(song.year);
  const char* path = song.path.c_str();
  if (!AddLibrarySong(song) || !ModelSetTag(model, path, "TITLE", song.title.c_str()) ||
      !ModelSetTag(model, path, "ARTIST", song.artist.c_str()) || !ModelSetTag(model, path, "YEAR", year.c_str())) {
    return false;
  }
  RememberFileInfo(song.path, song.seconds, {{"BITRATE", std::to_string(song.bitrate)}});
  return true;
}

// Every row of the file, or an error naming the first that is wrong; rows before it stay.
void LoadFile(const char* name) {
  std::FILE* file = std::fopen(name, "rb");
  if (file == nullptr) return EmitError("library-file cannot open %.200s", name);
  char row[kRowCapacity];
  int number = 0;
  int loaded = 0;
  while (std::fgets(row, sizeof row, file) != nullptr) {
    number++;
    const size_t length = std::strcspn(row, "\r\n");
    const bool whole = row[length] != '\0' || std::feof(file);
    row[length] = '\0';
    if (length == 0 || row[0] == '#') continue;
    char* fields[kLibraryRowFields + 1];
    LibrarySong song;
    if (!whole || SplitLibraryLine(row, fields) != kLibraryRowFields || !ParseLibraryRow(fields, &song) ||
        !Remember(song)) {
      std::fclose(file);
      return EmitError("library-file row %d is not path, title, artist, year, bitrate, seconds", number);
    }
    loaded++;
  }
  std::fclose(file);
  TextLine line;
  LineBegin(line, "ok");
  LineTab(line, "library-file");
  LineNumber(line, loaded);
  EmitLine(line);
}

}  // namespace

void CommandLibrary(char** fields, int count) {
  LibrarySong song;
  if (count != 1 + static_cast<int>(kLibraryRowFields) || !ParseLibraryRow(fields + 1, &song)) {
    return EmitError("library expects a path, title, artist, year, bitrate and seconds");
  }
  if (!Remember(song)) return EmitError("library text too long or library full");
  EmitOk("library");
}

void CommandLibraryFile(char** fields, int) { LoadFile(fields[1]); }

// Whatever plugin.ini holds, reading it stays inside the settings buffers, and a rewrite
// keeps the text around the section and reads back what it wrote.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "config/settings.h"
#include "config/settings_file.h"

namespace {

std::string TempPath() {
  static std::string path = "/tmp/qb_settings_fuzz_" + std::to_string(getpid()) + ".ini";
  return path;
}

// The first byte may plant a header inside the rest, so that the entry reader is
// reached on most inputs rather than only when the fuzzer happens to spell it.
void Spill(const uint8_t* data, size_t size) {
  FILE* file = std::fopen(TempPath().c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size > 0) {
    const size_t at = (data[0] & 1) ? 1 + (data[0] >> 1) % size : size;  // 1 to size
    std::fwrite(data + 1, 1, at - 1, file);
    if (at < size) {
      std::fputs("[Quillbox]", file);
      std::fwrite(data + at, 1, size - at, file);
    }
  }
  std::fclose(file);
}

void CheckTerminated(const char* text) {
  if (std::memchr(text, '\0', kPathSize) == nullptr) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Spill(data, size);
  ComPort = -1;
  LibraryRoot[0] = CurrentFolder[0] = PlaylistDir[0] = DumpDir[0] = '\0';
  const int read = ReadSettingsFile(TempPath().c_str());
  if (read != 0 && read != 14) std::abort();
  for (const char* text : {LibraryRoot, CurrentFolder, PlaylistDir, DumpDir}) CheckTerminated(text);

  // A rewrite with fixed values reads back exactly those values.
  ComPort = 2;
  std::snprintf(CurrentFolder, kPathSize, "C:\\My Music\\");
  std::snprintf(PlaylistDir, kPathSize, "C:\\My Music\\QB_Playlists\\");
  std::snprintf(DumpDir, kPathSize, "C:\\My Music\\QB_Dumped\\");
  if (WriteSettingsFile(TempPath().c_str()) != 0) std::abort();  // reading left a section
  ComPort = -1;
  CurrentFolder[0] = PlaylistDir[0] = DumpDir[0] = '\0';
  if (ReadSettingsFile(TempPath().c_str()) != 0) std::abort();
  if (ComPort != 2 || std::strcmp(CurrentFolder, "C:\\My Music\\") != 0 ||
      std::strcmp(DumpDir, "C:\\My Music\\QB_Dumped\\") != 0) {
    std::abort();
  }
  std::remove(TempPath().c_str());
  return 0;
}

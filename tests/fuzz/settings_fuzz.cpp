// Whatever plugin.ini holds, reading it stays inside the settings buffers and only ever
// appends; a rewrite keeps the text around the section and reads back what it wrote;
// and a rewrite that fails at any step leaves the file as it was. On the in-memory file
// system, so that failures can be chosen.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "config/settings.h"
#include "config/settings_file.h"
#include "fakes/fake_files.h"

namespace {

constexpr char kPath[] = "C:\\P\\plugin.ini";
constexpr char kTemporary[] = "C:\\P\\plugin.ini.qbnew";
constexpr char kBackup[] = "C:\\P\\plugin.ini.qbold";

// The first byte may plant a header at a line's start inside the rest, so that the entry
// reader is reached on most inputs rather than only when the fuzzer happens to spell it.
std::string Planted(const uint8_t* data, size_t size) {
  if (size == 0) return "";
  const char* rest = reinterpret_cast<const char*>(data + 1);
  const size_t at = (data[0] & 1) ? 1 + (data[0] >> 1) % size : size;  // 1 to size
  std::string text(rest, at - 1);
  if (at < size) text += "\r\n[Quillbox]" + std::string(rest + at - 1, size - at);
  return text;
}

// The last byte chooses how the rewrite fails. 1 to 4: the first to fourth write; 5: the
// close; 6: the replace; anything else: no failure.
void ChooseFailure(uint8_t choice) {
  if (choice >= 1 && choice <= 4) Files.failWriteNumber = choice - 1;
  if (choice == 5) Files.failClose = true;
  if (choice == 6) Files.failReplace = true;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckTerminated(const char* text) { Check(std::memchr(text, '\0', kPathSize) != nullptr); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ResetFakeFiles();
  const std::string file = Planted(data, size);
  Files.AddFile(kPath, file);
  ComPort = -1;
  LibraryRoot[0] = CurrentFolder[0] = PlaylistDir[0] = DumpDir[0] = '\0';
  const int read = ReadSettingsFile(kPath);
  // UTF-16 text is refused whole, and left as it is.
  const bool wide = file.size() >= 2 && (file.compare(0, 2, "\xFF\xFE") == 0 || file.compare(0, 2, "\xFE\xFF") == 0);
  if (wide) {
    Check(read == 13 && Files.Content(kPath) == file);
    return 0;
  }
  Check(read == 0 || read == 14);
  for (const char* text : {LibraryRoot, CurrentFolder, PlaylistDir, DumpDir}) CheckTerminated(text);
  const std::string before = Files.Content(kPath);
  Check(before.compare(0, file.size(), file) == 0);  // reading at most appends a section

  // A rewrite with fixed values: it fails as chosen, or reads back exactly those values.
  ComPort = 2;
  std::snprintf(CurrentFolder, kPathSize, "C:\\My Music\\");
  std::snprintf(PlaylistDir, kPathSize, "C:\\My Music\\QB_Playlists\\");
  std::snprintf(DumpDir, kPathSize, "C:\\My Music\\QB_Dumped\\");
  ChooseFailure(size > 0 ? data[size - 1] % 8 : 0);
  const int written = WriteSettingsFile(kPath);
  Check(!Files.Exists(kTemporary) && !Files.Exists(kBackup));
  if (written != 0) {
    Check(written == 16 && Files.Content(kPath) == before);
    return 0;
  }
  ComPort = -1;
  CurrentFolder[0] = PlaylistDir[0] = DumpDir[0] = '\0';
  Check(ReadSettingsFile(kPath) == 0);
  Check(ComPort == 2 && std::strcmp(CurrentFolder, "C:\\My Music\\") == 0 &&
        std::strcmp(DumpDir, "C:\\My Music\\QB_Dumped\\") == 0);
  return 0;
}

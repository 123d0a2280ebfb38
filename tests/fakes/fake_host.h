// A scripted player behind the host catalogue: answers from a small model and records
// every call, in order, as one line of text ("124", "211 3", "press 40045").
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

struct LibraryItem;

// What the media library knows about one file: its length and its extended information.
struct FakeFileInfo {
  int32_t seconds = 0;
  std::vector<std::pair<std::string, std::string>> extended;  // name and value, in list order
};

struct FakeHost {
  std::vector<std::string> files;               // the playlist
  std::map<std::string, std::string> titles;    // known TITLE tags by path
  std::map<std::string, std::string> tags;      // other tags, keyed "path|TAG"
  int32_t position = 0;
  int32_t playState = 0;
  int32_t elapsedMs = -1;
  int32_t trackSeconds = 0;
  int32_t shuffle = 0;
  int32_t volume = 255;
  int32_t changed = 0;
  const char* iniPath = nullptr;
  std::map<std::string, FakeFileInfo> fileInfo;  // by path; an unknown file is left unfilled
  std::vector<std::string> calls;

  // Extended-information lists handed out and not yet released, with the record each
  // went into. Each is a heap block of its own, freed on release, so that a use after
  // release fails under AddressSanitizer.
  std::map<char**, const LibraryItem*> infoLists;
  std::vector<std::string> infoMisuse;  // "double release", "released with another record"

  // The calls whose text begins with prefix.
  std::vector<std::string> CallsStartingWith(const std::string& prefix) const;
};

extern FakeHost Host;

// A fresh model and an empty call log.
void ResetFakeHost();

// A scripted player behind the host catalogue: answers from a small model and records
// every call, in order, as one line of text ("124", "211 3", "press 40045").
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fakes/call_log.h"
#include "fakes/text_order.h"

struct LibraryItem;

// What the media library knows about one file: its length and its extended information.
struct FakeFileInfo {
  int32_t seconds = 0;
  std::vector<std::pair<std::string, std::string>> extended;  // name and value, in list order
};

struct FakeHost {
  std::vector<std::string> files;               // the playlist
  // Looked up by the plug-in's own char* paths, without a string made for each look-up.
  std::map<std::string, std::string, TextOrder> titles;  // known TITLE tags by path
  std::map<std::string, std::string, TextOrder> tags;  // other tags, keyed "path|TAG"
  int32_t position = 0;
  int32_t playState = 0;
  int32_t elapsedMs = -1;
  int32_t trackSeconds = 0;
  int32_t shuffle = 0;
  int32_t volume = 255;
  int32_t changed = 0;
  const char* iniPath = nullptr;
  std::optional<int32_t> reportedLength;  // a playlist length that differs from the files
  CallLog calls;  // kept, with its memory, by ResetFakeHost
  // Sees every path the plug-in hands over ("copydata", "296", "0x200"), before the call
  // acts on it: where a fuzzer checks them.
  std::function<void(const char* call, const char* path)> onPath;

  // File information. Each extended-information list handed out is a heap block of its
  // own, freed on release, so that a use after release fails under AddressSanitizer.
  std::map<std::string, FakeFileInfo, TextOrder> fileInfo;  // by path; an unknown file is left unfilled
  std::map<char**, const LibraryItem*> infoLists;  // not yet released, with the record each went into
  std::vector<std::string> infoMisuse;  // "double release", "released with another record"

  // The media library. A search finds every result below, up to the query's limit.
  struct Result {
    std::optional<std::string> path;   // nullopt: a null address in the item
    std::optional<std::string> title;
  };
  std::vector<Result> results;
  int32_t searchAnswer = 1;               // what 0x701 returns; 0 refuses and fills nothing
  bool ignoreLimit = false;               // hands back more results than asked for
  std::optional<int32_t> reportedCount;   // a count that differs from the array it fills
  std::optional<int32_t> reportedAllocated;
  // The fields of each search and release request as the plug-in handed them over.
  struct QueryFields {
    const void* record;
    std::string query;
    int32_t maxResults;
    const void* results;
    int32_t resultCount;
    int32_t allocated;
  };
  std::vector<QueryFields> searches;
  std::vector<QueryFields> releases;
  int releaseMisuses = 0;                 // releases of nothing live: twice, or never searched

  // The calls whose text begins with prefix.
  std::vector<std::string> CallsStartingWith(const std::string& prefix) const;
};

extern FakeHost Host;

// A fresh model and an empty call log.
void ResetFakeHost();

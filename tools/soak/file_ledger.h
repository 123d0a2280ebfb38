// What the music folder held, file by file, so that the soak can tell at the end that
// nothing was lost, overwritten or moved anywhere but into the dump folder.
//
// Every file the soak makes goes through Add, which gives it a content of its own (its
// first path), so that a file found in the dump folder is known by its bytes.
#pragma once
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

class FileLedger {
 public:
  // music: the music folder's Linux path, ending with '/'.
  explicit FileLedger(std::string music);

  // Writes a new file at the relative path (its folder must exist) and records it.
  void Add(const std::string& relative);
  // Makes a folder (relative) and records it.
  void AddFolder(const std::string& relative);

  // A file outside the music folder that must stay as it is now (the plug-in's settings,
  // which a start rewrites with the same text), with the names in its folder: a backup or a
  // half-written copy left beside it is a fault too.
  void KeepOutside(const std::string& path);
  // What differs from that now.
  std::vector<std::string> OutsideFaults() const;

  // Files that arrived in the dump folder since the last call (or since the start).
  int DumpArrivals();
  // Playable files of ours that are still where they were made.
  int PlayableInPlace() const;

  struct Verdict {
    std::vector<std::string> failures;
    int moved = 0;      // files of ours found whole in the dump folder
    int playlists = 0;  // saved .m3u files, each checked
  };
  // The end-of-run comparison. acknowledgedMoves: dumps the panel was told of, each of
  // which moved one file; -1 when the caller counts the moves itself (Verdict::moved).
  Verdict Check(int acknowledgedMoves) const;

 private:
  struct Known {
    std::string content;
    std::filesystem::file_time_type time;
  };
  std::string music_;
  std::map<std::string, Known> files_;  // by relative path
  std::set<std::string> folders_;
  std::set<std::string> dumpSeen_;
  std::map<std::string, std::string> outside_;       // by path: its content
  std::map<std::string, std::set<std::string>> beside_;  // by folder: the names in it
};

// The saved-playlist folder and the dump folder, relative to the music folder.
inline constexpr const char* kPlaylistFolder = "QB_Playlists";
inline constexpr const char* kDumpFolder = "QB_Dumped";

// "" when bytes are a well-formed saved playlist (one or more lines, each a path
// followed by 00 0D 0A), otherwise what is wrong.
std::string PlaylistFault(const std::string& bytes);

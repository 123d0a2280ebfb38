// The music folder on a small disk of its own that the soak fills up and frees, as a
// user's disk fills with downloads and empties again: Wine on a roomy disk never shows
// what a save or a rewrite that finds no room does. A tmpfs mounted over the folder;
// mounting needs root.
#pragma once
#include <string>

class SmallDisk {
 public:
  // The file that fills it, in the music folder: not a song, not a playlist.
  static constexpr const char* kFillerName = "~disk filler.bin";

  // Mounts a disk of `bytes` over folder (made if missing, and empty: what it held is
  // hidden while the disk is there). False, with the reason, when it could not.
  bool Mount(const std::string& folder, long long bytes, std::string* why);
  ~SmallDisk();

  // Writes the filler until the disk refuses a single byte more.
  void Fill();
  void Free();
  bool Full() const { return full_; }

 private:
  std::string folder_;
  bool mounted_ = false;
  bool full_ = false;
};

#include "small_disk.h"

#include <sys/mount.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

bool SmallDisk::Mount(const std::string& folder, long long bytes, std::string* why) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  const std::string options = "size=" + std::to_string(bytes);
  if (mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0) {
    *why = std::string("mount: ") + std::strerror(errno) + " (the soak runs as root)";
    return false;
  }
  folder_ = folder;
  mounted_ = true;
  return true;
}

SmallDisk::~SmallDisk() {
  if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
}

// Large pieces first, then smaller ones, down to a byte: what is left is less than the
// file system's smallest unit of room.
void SmallDisk::Fill() {
  std::FILE* filler = std::fopen((folder_ + "/" + kFillerName).c_str(), "ab");
  if (filler == nullptr) return;
  std::setvbuf(filler, nullptr, _IONBF, 0);
  const std::vector<char> block(1 << 16, 'f');
  for (size_t piece = block.size(); piece > 0; piece /= 4) {
    while (std::fwrite(block.data(), 1, piece, filler) == piece) {
    }
  }
  std::fclose(filler);
  full_ = true;
}

void SmallDisk::Free() {
  std::remove((folder_ + "/" + kFillerName).c_str());
  full_ = false;
}

#include "file_ledger.h"

#include <fstream>
#include <iterator>
#include <regex>

#include "small_disk.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::set<std::string> NamesIn(const fs::path& folder) {
  std::set<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) names.insert(entry.path().filename().string());
  return names;
}

bool IsPlayable(const std::string& relative) {
  const std::string ext = fs::path(relative).extension().string();
  return ext == ".mp3" || ext == ".wav";
}

// The saved name: the title, then "-YYYY-MM-DD-HH.MM.SS.m3u".
bool IsPlaylistName(const std::string& name) {
  static const std::regex pattern(R"(.+-\d{4}-\d\d-\d\d-\d\d\.\d\d\.\d\d\.m3u)");
  return std::regex_match(name, pattern);
}

}  // namespace

std::string PlaylistFault(const std::string& bytes) {
  static const std::string kLineEnd("\0\r\n", 3);
  if (bytes.empty()) return "empty";
  size_t at = 0;
  while (at < bytes.size()) {
    const size_t end = bytes.find(kLineEnd, at);
    if (end == std::string::npos) return "a line does not end with 00 0D 0A at byte " + std::to_string(at);
    const std::string path = bytes.substr(at, end - at);
    if (path.empty()) return "an empty line at byte " + std::to_string(at);
    if (path.find_first_of(std::string("\0\r\n", 3)) != std::string::npos) {
      return "a line holds a NUL, CR or LF at byte " + std::to_string(at);
    }
    at = end + kLineEnd.size();
  }
  return "";
}

FileLedger::FileLedger(std::string music) : music_(std::move(music)) {}

void FileLedger::Add(const std::string& relative) {
  const std::string content = "soak file " + relative + "\n";
  {
    std::ofstream out(music_ + relative, std::ios::binary);
    out << content;
  }
  // A folder that has gone is reported by Check; nothing is made in its place.
  std::error_code error;
  const auto time = fs::last_write_time(music_ + relative, error);
  if (!error) files_[relative] = Known{content, time};
}

void FileLedger::AddFolder(const std::string& relative) {
  fs::create_directories(music_ + relative);
  folders_.insert(relative);
}

void FileLedger::KeepOutside(const std::string& path) {
  outside_[path] = ReadAll(path);
  const fs::path folder = fs::path(path).parent_path();
  beside_[folder.string()] = NamesIn(folder);
}

std::vector<std::string> FileLedger::OutsideFaults() const {
  std::vector<std::string> faults;
  for (const auto& [path, content] : outside_) {
    if (ReadAll(path) != content) faults.push_back("changed: " + path);
  }
  for (const auto& [folder, names] : beside_) {
    for (const std::string& name : NamesIn(folder)) {
      if (!names.count(name)) faults.push_back("a file that nobody made: " + folder + "/" + name);
    }
  }
  return faults;
}

int FileLedger::DumpArrivals() {
  int arrived = 0;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(music_ + kDumpFolder, error)) {
    if (dumpSeen_.insert(entry.path().filename().string()).second) arrived++;
  }
  return arrived;
}

int FileLedger::PlayableInPlace() const {
  int count = 0;
  for (const auto& [relative, known] : files_) count += IsPlayable(relative) && fs::exists(music_ + relative);
  return count;
}

FileLedger::Verdict FileLedger::Check(int acknowledgedMoves) const {
  Verdict v;
  std::set<std::string> files, folders;
  for (const auto& entry : fs::recursive_directory_iterator(music_)) {
    const std::string relative = fs::relative(entry.path(), music_).generic_string();
    if (relative == SmallDisk::kFillerName) continue;
    (entry.is_directory() ? folders : files).insert(relative);
  }
  const auto same = [&](const std::string& relative, const Known& known) {
    return ReadAll(music_ + relative) == known.content && fs::last_write_time(music_ + relative) == known.time;
  };
  std::set<std::string> accounted;
  for (const auto& [relative, known] : files_) {
    if (files.count(relative)) {
      accounted.insert(relative);
      if (!same(relative, known)) v.failures.push_back("changed in place: " + relative);
      continue;
    }
    const std::string dumped = std::string(kDumpFolder) + "/" + fs::path(relative).filename().string();
    if (files.count(dumped) && !accounted.count(dumped) && same(dumped, known)) {
      accounted.insert(dumped);
      v.moved++;
      continue;
    }
    v.failures.push_back("lost (neither in place nor whole in the dump folder): " + relative);
  }
  for (const std::string& relative : files) {
    if (accounted.count(relative)) continue;
    const fs::path path(relative);
    if (path.parent_path() != kPlaylistFolder || !IsPlaylistName(path.filename().string())) {
      v.failures.push_back("a file that nobody made: " + relative);
      continue;
    }
    v.playlists++;
    const std::string fault = PlaylistFault(ReadAll(music_ + relative));
    if (!fault.empty()) v.failures.push_back("saved playlist " + relative + ": " + fault);
  }
  if (acknowledgedMoves >= 0 && v.moved != acknowledgedMoves) {
    v.failures.push_back(std::to_string(v.moved) + " files moved into the dump folder, " +
                         std::to_string(acknowledgedMoves) + " dumps acknowledged");
  }
  for (const std::string& folder : folders_) {
    if (!folders.count(folder)) v.failures.push_back("folder gone: " + folder);
  }
  for (const std::string& folder : folders) {
    if (!folders_.count(folder)) v.failures.push_back("a folder that nobody made: " + folder);
  }
  for (const std::string& fault : OutsideFaults()) v.failures.push_back(fault);
  return v;
}

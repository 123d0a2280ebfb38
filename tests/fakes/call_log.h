// A record of calls, one line of text each, that keeps its lines' memory when it is
// cleared: a folder's scan records a line a file, and a fuzzer clears the record every
// tick, so that most lines are written into memory an earlier line had.
#pragma once
#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

class CallLog {
 public:
  using value_type = std::string;
  using const_iterator = std::vector<std::string>::const_iterator;

  // An empty line at the end of the record, for the caller to write.
  std::string& Add() {
    if (used_ == lines_.size()) lines_.emplace_back();
    std::string& line = lines_[used_++];
    line.clear();
    return line;
  }
  void clear() { used_ = 0; }

  size_t size() const { return used_; }
  bool empty() const { return used_ == 0; }
  // Only the lines recorded since the last clear: the memory past them holds older lines,
  // which a test must never read as calls just made.
  const std::string& at(size_t i) const {
    if (i >= used_) throw std::out_of_range("no such call in the record");
    return lines_[i];
  }
  const std::string& operator[](size_t i) const { return at(i); }
  const std::string& front() const { return at(0); }
  const std::string& back() const { return at(used_ - 1); }
  const_iterator begin() const { return lines_.begin(); }
  const_iterator end() const { return lines_.begin() + static_cast<long>(used_); }
  operator std::vector<std::string>() const { return {begin(), end()}; }

  friend bool operator==(const CallLog& log, const std::vector<std::string>& lines) {
    return log.size() == lines.size() && std::equal(log.begin(), log.end(), lines.begin());
  }

 private:
  std::vector<std::string> lines_;
  size_t used_ = 0;
};

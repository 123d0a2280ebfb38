// Decides when the display has changed in a way worth a line: the text a person sees
// (every row, blank while the display is switched off) and the backlight. A redraw in
// progress is not a change: the display must hold a new state for kSettleMs, as an eye
// would need it to, and the change is dated when the display took that state.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "glyph_table.h"

constexpr double kSettleMs = 10;

struct Screen {
  std::array<uint8_t, kMostColumns * kMostRows> cells{};  // row by row, `size.columns` a row
  DisplaySize size = kShieldSize;
  bool light = false;
  const uint8_t* Row(int row) const { return cells.data() + row * size.columns; }
  std::string RowText(int row) const { return ::RowText(Row(row), size.columns); }
  bool operator==(const Screen& o) const {
    return cells == o.cells && light == o.light && size.columns == o.size.columns && size.rows == o.size.rows;
  }
  bool operator!=(const Screen& o) const { return !(*this == o); }
};

class DisplayWatch {
 public:
  // The display at atMs; true when a settled change is to be shown (then Shown(), ShownAt()).
  bool Observe(const Screen& now, double atMs);
  const Screen& Shown() const { return shown_; }
  double ShownAt() const { return shownAt_; }
  bool AnyShown() const { return anyShown_; }

 private:
  Screen current_;
  double changedAt_ = 0;
  bool started_ = false;
  Screen shown_;
  double shownAt_ = 0;
  bool anyShown_ = false;
};

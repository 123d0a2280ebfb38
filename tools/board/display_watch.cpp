#include "display_watch.h"

bool DisplayWatch::Observe(const Screen& now, double atMs) {
  if (!started_ || now != current_) {
    current_ = now;
    changedAt_ = atMs;
    started_ = true;
  }
  if (anyShown_ && current_ == shown_) return false;
  if (atMs - changedAt_ < kSettleMs) return false;
  shown_ = current_;
  shownAt_ = changedAt_;
  anyShown_ = true;
  return true;
}

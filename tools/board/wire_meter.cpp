#include "wire_meter.h"

bool IsStatusFrame(const MeteredFrame& f) { return f.length == 92 && f.first == 'B'; }

std::vector<MeteredFrame> WireMeter::FromPc(uint8_t byte, double atMs) {
  std::vector<MeteredFrame> frames = fromPc_.Feed(byte, atMs);
  for (const MeteredFrame& f : frames) {
    if (!IsStatusFrame(f)) continue;
    statusFrames_++;
    anyStatus_ = true;
    lastStatusEndMs_ = f.lastMs;
  }
  return frames;
}

std::vector<MeteredFrame> WireMeter::FromBoard(uint8_t byte, double atMs) {
  std::vector<MeteredFrame> frames = fromBoard_.Feed(byte, atMs);
  for (const MeteredFrame& f : frames) {
    commands_++;
    if (anyStatus_ && f.firstMs >= lastStatusEndMs_) delays_.push_back(f.firstMs - lastStatusEndMs_);
    std::vector<double> later;  // pressed while this command was already on its way
    for (double down : keysWaiting_) {
      if (f.firstMs >= down) {
        keyToCommand_.push_back(f.firstMs - down);
      } else {
        later.push_back(down);
      }
    }
    keysWaiting_.swap(later);
  }
  return frames;
}

void WireMeter::Restart() {
  fromPc_.Clear();
  fromBoard_.Clear();
  anyStatus_ = false;
}

void WireMeter::Figures(BoardFigures* f) const {
  f->statusFrames = statusFrames_;
  f->commands = commands_;
  f->delay = SpreadOf(delays_);
  f->delaysOver15 = 0;
  for (double d : delays_) f->delaysOver15 += d > kListenWindowMs;
  f->keyToCommand = SpreadOf(keyToCommand_);
}

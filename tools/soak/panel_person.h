// A person at the panel for the board soak: which key next, how long it is held, and how
// long the person looks at the display before the next one. Weighted as the panel is
// used: mostly scrolling and opening entries in the lists, the transport keys on the
// status screen, a long press now and then for the menu, stop, shuffle or the time, and
// rarely a hold long enough to stop a key check's calibration.
#pragma once
#include <cstdint>
#include <random>
#include <string>
#include <vector>

struct KeyAction {
  std::string command;  // for the board's script: "press up", "hold select 1100"
  std::string kind;     // for the figures: "short up", "long select", "3 s hold"
  int thinkMs = 0;      // the look at the display before the next key
};

class PanelPerson {
 public:
  explicit PanelPerson(uint32_t seed) : random_(seed) {}
  KeyAction Next();
  // Now and then the person does something on purpose, key by key as the panel's guide
  // tells it, from the status screen: dumps a playlist entry, saves or clears the
  // playlist, searches, browses down the folders, opens the key check. "dump", "save",
  // ... names it; the keys land somewhere whatever screen the panel is on.
  std::vector<KeyAction> Errand(std::string* name) { return Errand(Between(0, kErrands - 1), name); }
  // That errand: 0 dump, 1 save, 2 clear, 3 search, 4 browse, 5 the key check.
  std::vector<KeyAction> Errand(int which, std::string* name);
  static constexpr int kErrands = 6;
  static constexpr int kSave = 1;
  int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

 private:
  std::mt19937 random_;
};

#include "panel_person.h"

#include <iterator>

namespace {

struct Weighted {
  const char* key;
  int weight;
};

// Scrolling and opening dominate a browse; Left goes back up the folders.
constexpr Weighted kShort[] = {{"up", 20}, {"down", 26}, {"select", 16}, {"right", 10}, {"left", 14}};
// The menu, stop, shuffle, the time shown, an entry's actions and the list's end.
constexpr Weighted kLong[] = {{"select", 5}, {"left", 2}, {"right", 2}, {"up", 2}, {"down", 1}};

const char* Pick(const Weighted* table, size_t n, int roll) {
  int total = 0;
  for (size_t i = 0; i < n; i++) total += table[i].weight;
  roll %= total;
  for (size_t i = 0; i < n; i++) {
    if (roll < table[i].weight) return table[i].key;
    roll -= table[i].weight;
  }
  return table[0].key;
}

}  // namespace

KeyAction PanelPerson::Next() {
  KeyAction a;
  const int kind = Between(0, 99);
  if (kind < 86) {
    const std::string key = Pick(kShort, std::size(kShort), Between(0, 9999));
    a.command = "press " + key;
    a.kind = "short " + key;
  } else if (kind < 99) {
    const std::string key = Pick(kLong, std::size(kLong), Between(0, 9999));
    a.command = "hold " + key + " " + std::to_string(Between(800, 1600));
    a.kind = "long " + key;
  } else {
    a.command = "hold " + std::string(Pick(kShort, std::size(kShort), Between(0, 9999))) + " 3300";
    a.kind = "3 s hold";
  }
  // Mostly a glance; sometimes reading a title, sometimes away for a while.
  const int pause = Between(0, 99);
  a.thinkMs = pause < 70 ? Between(150, 900) : pause < 96 ? Between(900, 4000) : Between(4000, 20000);
  return a;
}

namespace {

// Down n times: to the n-th item below the first of a menu or an entry's actions.
std::string Downs(int n) {
  std::string keys;
  for (int i = 0; i < n; i++) keys += "press down;";
  return keys;
}

}  // namespace

std::vector<KeyAction> PanelPerson::Errand(int which, std::string* name) {
  // A playlist entry's actions: Play, Song info, Move, Delete, Dump song, Save playlist,
  // Clear playlist. The menu: Browse, Playlist, Search, Options; the options: shuffle,
  // time, volume, the key check.
  const std::string toEntry = "hold down 900;" + Downs(Between(0, 5)) + "press right;";
  std::string keys;
  switch (which) {
    case 0: *name = "dump"; keys = toEntry + Downs(4) + "press select;press select;"; break;
    case 1: *name = "save"; keys = toEntry + Downs(5) + "press select;"; break;
    case 2: *name = "clear"; keys = toEntry + Downs(6) + "press select;press select;"; break;
    case 3:
      *name = "search";
      keys = "hold select 900;" + Downs(2) + "press select;" + Downs(Between(1, 6)) + "press select;";
      break;
    case 4:
      *name = "browse";
      keys = "hold select 900;press select;";
      for (int depth = Between(1, 4); depth > 0; depth--) keys += Downs(Between(0, 4)) + "press select;";
      keys += "hold left 900;";
      break;
    default: *name = "key check"; keys = "hold select 900;" + Downs(3) + "press select;" + Downs(3) + "press select;"
                                         "press up;press left;press left;press left;"; break;
  }
  keys += "press left;press left;";  // back towards the status screen
  std::vector<KeyAction> steps;
  for (size_t from = 0, end; (end = keys.find(';', from)) != std::string::npos; from = end + 1) {
    steps.push_back({keys.substr(from, end - from), *name, Between(300, 900)});
  }
  return steps;
}

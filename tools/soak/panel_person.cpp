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

// Typing a search text with five keys.
#include "logic/text_entry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Keys as letters: u up, d down, r right, l left. The text, and whether Left went past
// the first place.
std::string Type(const std::string& keys, bool* left = nullptr) {
  TextEntry e;
  EntryStart(&e);
  bool out = false;
  for (char k : keys) {
    if (k == 'u') EntryTurn(&e, 1);
    if (k == 'd') EntryTurn(&e, -1);
    if (k == 'r') EntryRight(&e);
    if (k == 'l') out = !EntryLeft(&e) || out;
  }
  if (left != nullptr) *left = out;
  char text[kSearchTextRoom];
  EntryText(e, text);
  return text;
}

TEST(TextEntry, KeysChooseTheCharactersAndPlaces) {
  struct Case {
    const char* keys;
    const char* text;
  } cases[] = {
      {"", ""},
      {"u", "a"},
      {"uuruuu", "bc"},
      {"d", "!"},                                             // down from a blank goes round to the last sign
      {"urrru", "a  a"},                                      // blanks inside stay
      {"urr", "a"},                                           // blanks at the end are no part of it
      {"uurlu", "c"},                                         // back to the first place, changed again
      {"rrrrrrrrrrrrrrrrrrrrrrrrru", "                  a"},  // 19 places at most
      {"uuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuu", ""},     // round through all 42 to the blank
  };
  for (const Case& c : cases) EXPECT_EQ(Type(c.keys), c.text) << c.keys;
}

TEST(TextEntry, LeftAtTheFirstPlaceLeaves) {
  bool left = false;
  Type("uru", &left);
  EXPECT_FALSE(left);
  Type("urul", &left);
  EXPECT_FALSE(left);
  Type("urull", &left);
  EXPECT_TRUE(left);
}

}  // namespace

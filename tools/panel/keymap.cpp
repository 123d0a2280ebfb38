#include "keymap.h"

#include <curses.h>

#include <cstdio>
#include <utility>

const std::vector<KeyBinding>& KeyBindings() {
  static const std::vector<KeyBinding> kBindings = {
      {'p', KeyAction::Play, "p", "play"},
      {' ', KeyAction::Pause, "space", "pause"},
      {'s', KeyAction::Stop, "s", "stop"},
      {'n', KeyAction::Next, "n", "next track"},
      {'b', KeyAction::Previous, "b", "previous track"},
      {'+', KeyAction::VolumeUp, "+", "volume up"},
      {'=', KeyAction::VolumeUp, "=", ""},
      {'-', KeyAction::VolumeDown, "-", "volume down"},
      {'r', KeyAction::Shuffle, "r", "shuffle on/off"},
      {'t', KeyAction::TimeMode, "t", "elapsed/remaining time"},
      {'\n', KeyAction::Open, "Enter", "open folder, play entry"},
      {KEY_ENTER, KeyAction::Open, "", ""},  // the keypad's Enter
      {KEY_RIGHT, KeyAction::Open, "Right", ""},
      {KEY_BACKSPACE, KeyAction::Up, "BkSp", "one folder up"},
      {KEY_LEFT, KeyAction::Up, "Left", ""},
      {'u', KeyAction::Up, "u", ""},
      {'g', KeyAction::Root, "g", "the music folder"},
      {'f', KeyAction::Folder, "f", "folder list"},
      {'l', KeyAction::Playlist, "l", "playlist"},
      {'/', KeyAction::Search, "/", "search the library"},
      {'R', KeyAction::Refetch, "R", "fetch the list again"},
      {'e', KeyAction::Enqueue, "e", "enqueue a folder's songs"},
      {'a', KeyAction::Add, "a", "add song, folder, result"},
      {'d', KeyAction::Delete, "d", "delete a playlist entry"},
      {KEY_DC, KeyAction::Delete, "Delete", ""},
      {'m', KeyAction::Move, "m", "move a playlist entry"},
      {'w', KeyAction::Save, "w", "save the playlist"},
      {'C', KeyAction::Clear, "C", "clear playlist (asks)"},
      {'i', KeyAction::Info, "i", "song info"},
      {'D', KeyAction::Dump, "D", "dump song (asks)"},
      {KEY_UP, KeyAction::CursorUp, "Up", "cursor up"},
      {'k', KeyAction::CursorUp, "k", ""},
      {KEY_DOWN, KeyAction::CursorDown, "Down", "cursor down"},
      {'j', KeyAction::CursorDown, "j", ""},
      {KEY_PPAGE, KeyAction::PageUp, "PgUp", "page up"},
      {KEY_NPAGE, KeyAction::PageDown, "PgDn", "page down"},
      {KEY_HOME, KeyAction::First, "Home", "first entry"},
      {KEY_END, KeyAction::Last, "End", "last entry"},
      {'?', KeyAction::Help, "?", "these keys"},
      {'q', KeyAction::Quit, "q", "quit"},
  };
  return kBindings;
}

KeyAction ActionForKey(int key) {
  if (key == '\r') key = '\n';
  if (key == 127 || key == 8) key = KEY_BACKSPACE;  // terminals differ in what Backspace sends
  for (const KeyBinding& b : KeyBindings()) {
    if (b.key == key) return b.action;
  }
  return KeyAction::None;
}

std::vector<std::string> KeyHelpLines() {
  // A binding without help text is another key for the binding above it.
  std::vector<std::pair<std::string, std::string>> rows;
  for (const KeyBinding& b : KeyBindings()) {
    if (b.help[0] != 0) {
      rows.push_back({b.name, b.help});
    } else if (!rows.empty() && b.name[0] != 0) {
      rows.back().first += std::string(" ") + b.name;
    }
  }
  std::vector<std::string> lines;
  for (const auto& [names, help] : rows) {
    char line[128];
    std::snprintf(line, sizeof line, "%-12s %s", names.c_str(), help.c_str());
    lines.push_back(line);
  }
  return lines;
}

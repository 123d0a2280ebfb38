// The screen's keys: one table that the key handling and the help box both read.
#pragma once
#include <string>
#include <vector>

enum class KeyAction {
  None, Play, Pause, Stop, Next, Previous, VolumeUp, VolumeDown, Shuffle, TimeMode,
  Open, Up, Root, Folder, Playlist, Search, Refetch, Enqueue, Add, Delete, Move, Save, Clear, Info, Dump,
  CursorUp, CursorDown, PageUp, PageDown, First, Last, Help, Quit,
};

struct KeyBinding {
  int key;
  KeyAction action;
  const char* name;  // as the help box shows the key
  const char* help;  // "" for a second key of the same action
};

const std::vector<KeyBinding>& KeyBindings();
KeyAction ActionForKey(int key);
// "key  what it does", one line a binding, for the help box.
std::vector<std::string> KeyHelpLines();

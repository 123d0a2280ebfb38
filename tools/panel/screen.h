// The full-screen panel drawn with curses: what it shows, and the drawing.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "panel.h"

enum class Overlay { None, Help, Info, Confirm, Prompt };

struct ScreenState {
  Panel panel;
  std::string device;  // the line's name, for the title
  int cursor[kListKinds] = {};
  int top[kListKinds] = {};  // first entry shown
  std::string lastReply;     // the last answer or message
  Overlay overlay = Overlay::None;
  std::vector<std::string> box;                                   // lines of the help or info box, or the question
  std::string prompt;                                             // "search: ", "move 3 to: "
  std::string input;                                              // what has been typed at the prompt
  std::function<void(ScreenState&)> onYes;                        // a confirmed action
  std::function<void(ScreenState&, const std::string&)> onInput;  // a finished prompt
};

// The list the screen shows: the view, or the folder list before any was chosen.
ListKind ShownList(const ScreenState& state);
void DrawScreen(ScreenState& state);

// The panel's state and the plug-in's answers as one-line texts: what a script prints
// and what the screen shows on its status and reply lines.
#pragma once
#include <string>

#include "replies.h"
#include "session.h"
#include "wire.h"

const char* PlayStateName(uint8_t state);
// "playlist", "folder list", "search results"
const char* ListTitle(ListKind kind);
// "1:05" elapsed, "-3:05" remaining (the plug-in sends remaining time negative).
std::string TimeText(int8_t minutes, int8_t seconds);
// state, time, shuffle, position/length, "title", folder "\name\"
std::string StatusText(const Status& status);
std::string SongInfoText(const SongDetails& info);
std::string HexText(const Bytes& bytes, size_t most = 16);
// The event as a line; "" for the events that print nothing by themselves (status
// changes and whole lists have their own forms).
std::string EventText(const Event& event);

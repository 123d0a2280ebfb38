// Routes a message that reached one of the player's windows to its answer and logs it.
#pragma once
#include <cstdint>

enum class HostWindow { Main, Playlist, Library };

// The plug-in's messages: WM_COMMAND, WM_COPYDATA and everything from WM_USER up to
// (not including) WM_APP, where the player's private command message lives.
bool IsHostMessage(uint32_t message);
intptr_t AnswerHostMessage(HostWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam);

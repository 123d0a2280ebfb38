// Commands that act on the plug-in or on windows; each writes its own answer line.
#pragma once
#include <cstdint>

void PlayerLoad();
void PlayerInit();
void PlayerQuit();
void PlayerUnload();
[[noreturn]] void PlayerExit();
void PlayerClick(const char* title, int32_t control);
void PlayerSetText(const char* title, int32_t control, const char* text);
// Selects the list entry whose text is exactly `text`, as a click on it would.
void PlayerPick(const char* title, int32_t control, const char* text);
// Reads the text of the message box with this title and presses the button with this id.
void PlayerMessageBox(const char* title, int32_t button);
// Makes every host answer wait this long, so a tick is likely inside one when quit starts.
void PlayerSetAnswerDelay(int32_t ms);

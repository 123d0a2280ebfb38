// The player's answers to the plug-in's messages, on plain integers so that no window
// header is needed. Each fills details with the decoded fields of its log line.
#pragma once
#include <cstdint>

#include "output_line.h"

void SetPlaylistWindowAnswer(intptr_t window);  // what code 260 answers

intptr_t MainUserMessage(uintptr_t argument, intptr_t code, TextLine& details);
intptr_t MainButton(uintptr_t id);
intptr_t MainCopyData(uintptr_t kind, const char* data, uint32_t size, TextLine& details);
intptr_t PlaylistUserMessage(uintptr_t code, intptr_t argument);
intptr_t TagRequestReply(uintptr_t record, TextLine& details);  // code 296

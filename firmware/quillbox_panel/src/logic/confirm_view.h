// A question before what cannot be taken back: dumping a song (named as the plug-in names
// it) and clearing the playlist. Select says yes, Left says no.
//
//   Dump? Sel=yes        Clear playlist?
//   Blue Moon            Sel=yes Left=no
#pragma once
#include <stdint.h>

#include "keys.h"
#include "screen.h"

enum class Question : uint8_t { Dump, Clear };
enum class Answer : uint8_t { None, Yes, No };

void AskToConfirm(Question question, const char* subject, uint32_t nowMs);
Question Asked();
Answer ConfirmKey(const KeyEvent& event);
void DrawConfirm(Screen* screen);
bool ConfirmStep(uint32_t nowMs);

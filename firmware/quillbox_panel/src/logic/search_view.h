// The search text, typed with the keys (text_entry.h):
//
//   love song_            the text, the cursor's place shown "_" while blank
//         ^   Sel=find    a mark under the cursor
#pragma once
#include <stdint.h>

#include "keys.h"
#include "screen.h"
#include "../wire/command_payload.h"

enum class SearchKey : uint8_t { Typing, Find, Cancel };

void OpenSearch();
// Find: the text is ready (SearchedText), Cancel: Left at the first place.
SearchKey SearchViewKey(const KeyEvent& event);
// The text typed, without its trailing blanks.
void SearchedText(char (&text)[kSearchTextRoom]);
void DrawSearch(Screen* screen);

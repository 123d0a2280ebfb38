// Owner of the list state shared by the list, playback, edit and song commands.
#include "protocol/list_state.h"

ListChoice ActiveList = {nullptr, 0};
uint32_t ListCursor = 0;
uint32_t LibraryResultCount = 0;

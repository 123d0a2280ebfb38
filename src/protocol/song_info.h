// Reading the media library's extended information about a file.
#pragma once

#include "host/host_catalogue.h"

// The value of the first element of item's extended-information list whose name equals
// name, ASCII letters compared without case ("bitrate" is "BITRATE", "BITRATE2" is not);
// null when the item has no list, the list is empty or no element matches. The value
// belongs to the player and is valid until the item is released.
const char* FindExtendedInfo(const LibraryItem* item, const char* name);

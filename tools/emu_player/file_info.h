// The media library's file information: a length and an extended-information list per
// path, loaded with the "info" command (command_table.h), handed out on code 0x200 and taken back on 0x201.
#pragma once
#include <cstdint>

#include "output_line.h"

// The media-library window's file-information codes; 0 for any other code.
intptr_t LibraryFileMessage(uintptr_t record, intptr_t code, TextLine& details);

// The media library's file information: a length and an extended-information list per
// path, loaded with the "info" command (command_table.h), handed out on code 0x200 and taken back on 0x201.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "output_line.h"

// The media-library window's file-information codes; 0 for any other code.
intptr_t LibraryFileMessage(uintptr_t record, intptr_t code, TextLine& details);

// What the library knows of path from now on: its length and named values (NAME, value).
void RememberFileInfo(const std::string& path, int32_t seconds,
                      const std::vector<std::pair<std::string, std::string>>& values);

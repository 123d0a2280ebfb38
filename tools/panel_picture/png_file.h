// A picture as a PNG file (8-bit RGB, no interlace, every row unfiltered, zlib's
// deflate): the same picture always makes the same bytes.
#pragma once
#include <string>

#include "lcd_picture.h"

bool WritePng(const std::string& path, const Picture& p, std::string* problem);

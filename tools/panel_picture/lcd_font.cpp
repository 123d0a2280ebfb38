#include "lcd_font.h"

#include <fstream>
#include <sstream>

namespace {

// The A00 ROM's arrows, from the datasheet's character table.
constexpr std::array<uint8_t, kCellDotRows> kRightArrow = {0x00, 0x04, 0x02, 0x1F, 0x02, 0x04, 0x00, 0x00};
constexpr std::array<uint8_t, kCellDotRows> kLeftArrow = {0x00, 0x04, 0x08, 0x1F, 0x08, 0x04, 0x00, 0x00};
constexpr int kYen = 0xA5;  // where ISO 8859-1 has the yen sign the ROM shows at 0x5C

struct BdfGlyph {
  int encoding = -1;
  int width = 0, height = 0, xOffset = 0, yOffset = 0;
  std::array<uint8_t, kCellDotRows> rows{};
};

// A glyph's bitmap rows (hex, leftmost dot in the top bit) placed in a cell whose row 0
// is the font's top: the baseline falls under row ascent-1.
void Place(BdfGlyph& g, int index, unsigned bits, int bytesWide, int ascent) {
  const int row = ascent - 1 - (g.yOffset + g.height - 1 - index);
  if (row < 0 || row >= kCellDotRows) return;
  for (int x = 0; x < g.width; x++) {
    const int dot = g.xOffset + x;
    const bool on = (bits >> (8 * bytesWide - 1 - x)) & 1;
    if (on && dot >= 0 && dot < kCellDotColumns) g.rows[row] |= static_cast<uint8_t>(1 << (4 - dot));
  }
}

// Reads one glyph from STARTCHAR to ENDCHAR.
bool ReadGlyph(std::istream& in, int ascent, BdfGlyph* g) {
  std::string line;
  int index = -1;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string key;
    words >> key;
    if (key == "ENDCHAR") return true;
    if (key == "ENCODING") words >> g->encoding;
    if (key == "BBX") words >> g->width >> g->height >> g->xOffset >> g->yOffset;
    if (key == "BITMAP") {
      index = 0;
    } else if (index >= 0 && !key.empty()) {
      Place(*g, index++, static_cast<unsigned>(std::stoul(key, nullptr, 16)), static_cast<int>(key.size() / 2), ascent);
    }
  }
  return false;
}

// The ROM's code for a font's encoding; -1 when the ROM has none of it.
int RomCode(int encoding) {
  if (encoding == kYen) return 0x5C;
  if (encoding >= 0x20 && encoding <= 0x7D && encoding != 0x5C) return encoding;
  return -1;
}

}  // namespace

bool ParseLcdFont(const std::string& bdf, LcdFont* font, std::string* problem) {
  std::istringstream in(bdf);
  std::string line;
  int ascent = -1, found = 0;
  *font = LcdFont{};
  try {
    while (std::getline(in, line)) {
      std::istringstream words(line);
      std::string key;
      words >> key;
      if (key == "FONT_ASCENT") words >> ascent;
      if (key != "STARTCHAR") continue;
      BdfGlyph g;
      if (ascent < 1 || !ReadGlyph(in, ascent, &g)) break;
      const int code = RomCode(g.encoding);
      if (code >= 0) {
        font->rows[code] = g.rows;
        found++;
      }
    }
  } catch (const std::exception&) {  // stoul: a bitmap row that is not hex
    found = 0;
  }
  font->rows[0x7E] = kRightArrow;
  font->rows[0x7F] = kLeftArrow;
  if (found == 0x7E - 0x20) return true;
  *problem = "not a BDF font with ASCII and the yen sign (FONT_ASCENT, then every glyph)";
  return false;
}

bool LoadLcdFont(const std::string& bdfPath, LcdFont* font, std::string* problem) {
  std::ifstream in(bdfPath);
  if (!in) {
    *problem = "cannot read " + bdfPath;
    return false;
  }
  std::stringstream text;
  text << in.rdbuf();
  if (ParseLcdFont(text.str(), font, problem)) return true;
  *problem = bdfPath + ": " + *problem;
  return false;
}

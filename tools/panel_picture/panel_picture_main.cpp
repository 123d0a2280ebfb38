// quillbox-panel-picture: draws the panel's display from a snapshot the simulated board
// printed (panel_snapshot.h), as a PNG, or as raw RGB for a test to compare pixels.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "lcd_font.h"
#include "lcd_picture.h"
#include "png_file.h"

namespace {

void Usage() {
  std::fprintf(stderr,
               "usage: quillbox-panel-picture [--font BDF] [--rgb] SNAPSHOT OUTPUT\n"
               "  SNAPSHOT  a file holding the board's snapshot line (with or without its\n"
               "            leading \"snapshot <t>\")\n"
               "  OUTPUT    the PNG to write; with --rgb, its raw RGB pixels, rows top down\n"
               "            (\"-\": standard output), and the size on standard error\n"
               "  --font    the 5x7 BDF font (default: the build's, from xfonts-base)\n");
}

bool ReadSnapshot(const std::string& path, std::string* name, PanelSnapshot* s) {
  std::ifstream in(path);
  std::string line;
  if (!std::getline(in, line)) return false;
  if (line.compare(0, 9, "snapshot ") == 0) {
    std::istringstream words(line);
    std::string word, time;
    words >> word >> time;
    std::getline(words >> std::ws, line);
  }
  return ParseSnapshot(line, name, s);
}

bool WriteRgb(const std::string& path, const Picture& p) {
  std::FILE* f = path == "-" ? stdout : std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  bool written = std::fwrite(p.rgb.data(), 1, p.rgb.size(), f) == p.rgb.size();
  written = (f == stdout ? std::fflush(f) : std::fclose(f)) == 0 && written;
  std::fprintf(stderr, "%dx%d\n", p.width, p.height);
  return written;
}

}  // namespace

int main(int argc, char** argv) {
  std::string fontPath = QB_PANEL_FONT, snapshotPath, outPath;
  bool rgb = false;
  for (int i = 1; i < argc; i++) {
    const std::string a = argv[i];
    if (a == "--font" && i + 1 < argc) {
      fontPath = argv[++i];
    } else if (a == "--rgb") {
      rgb = true;
    } else if (snapshotPath.empty()) {
      snapshotPath = a;
    } else if (outPath.empty()) {
      outPath = a;
    } else {
      Usage();
      return 2;
    }
  }
  if (outPath.empty()) {
    Usage();
    return 2;
  }
  LcdFont font;
  std::string problem, name;
  PanelSnapshot s;
  if (!LoadLcdFont(fontPath, &font, &problem)) {
    std::fprintf(stderr, "quillbox-panel-picture: %s\n", problem.c_str());
    return 1;
  }
  if (!ReadSnapshot(snapshotPath, &name, &s)) {
    std::fprintf(stderr, "quillbox-panel-picture: %s holds no snapshot line\n", snapshotPath.c_str());
    return 1;
  }
  const Picture p = DrawPanel(s, font);
  const bool written = rgb ? WriteRgb(outPath, p) : WritePng(outPath, p, &problem);
  if (!written) std::fprintf(stderr, "quillbox-panel-picture: cannot write %s %s\n", outPath.c_str(), problem.c_str());
  return written ? 0 : 1;
}

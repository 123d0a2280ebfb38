#include "panel_snapshot.h"

#include <sstream>

namespace {

std::string Hex(const uint8_t* bytes, size_t n) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (size_t i = 0; i < n; i++) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 15];
  }
  return text;
}

int Digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool FromHex(const std::string& text, uint8_t* bytes, size_t n) {
  if (text.size() != 2 * n) return false;
  for (size_t i = 0; i < n; i++) {
    const int high = Digit(text[2 * i]), low = Digit(text[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    bytes[i] = static_cast<uint8_t>(high << 4 | low);
  }
  return true;
}

bool OnOff(std::istringstream& in, const char* word, bool* value) {
  std::string key, state;
  if (!(in >> key >> state) || key != word || (state != "on" && state != "off")) return false;
  *value = state == "on";
  return true;
}

// The value after `word`, which ends at the next blank.
bool After(const std::string& text, const std::string& word, std::string* value) {
  const size_t at = text.rfind(" " + word + " ");
  if (at == std::string::npos) return false;
  std::istringstream in(text.substr(at + word.size() + 2));
  return static_cast<bool>(in >> *value);
}

}  // namespace

PanelSnapshot TakeSnapshot(const Hd44780Memory& memory, bool light, DisplaySize size) {
  PanelSnapshot s;
  s.light = light;
  s.displayOn = memory.DisplayOn();
  s.size = size;
  s.cells.fill(0x20);
  for (int row = 0; row < size.rows; row++) {
    for (int column = 0; column < size.columns; column++) {
      s.cells[row * size.columns + column] = memory.Shown(row, column, size.columns);
    }
  }
  for (int code = 0; code < 8; code++) {
    for (int row = 0; row < 8; row++) s.cgram[code * 8 + row] = memory.CustomRow(static_cast<uint8_t>(code), row);
  }
  return s;
}

bool SnapshotName(const std::string& name) {
  if (name.empty() || name.size() > 40) return false;
  for (char c : name) {
    const bool fits = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
    if (!fits) return false;
  }
  return true;
}

std::string SnapshotText(const std::string& name, const PanelSnapshot& s) {
  std::string text = name + " light " + (s.light ? "on" : "off") + " display " + (s.displayOn ? "on" : "off") + " rows |";
  for (int row = 0; row < s.size.rows; row++) text += RowText(s.cells.data() + row * s.size.columns, s.size.columns) + "|";
  return text + " cells " + Hex(s.cells.data(), static_cast<size_t>(s.CellCount())) + " cgram " +
         Hex(s.cgram.data(), s.cgram.size());
}

bool ParseSnapshot(const std::string& text, std::string* name, PanelSnapshot* s) {
  std::istringstream in(text);
  std::string cells, cgram;
  PanelSnapshot read;
  if (!(in >> *name) || !SnapshotName(*name)) return false;
  if (!OnOff(in, "light", &read.light) || !OnOff(in, "display", &read.displayOn)) return false;
  if (!After(text, "cells", &cells)) return false;
  read.cells.fill(0x20);
  for (const DisplaySize size : {kShieldSize, kWideSize}) {
    if (cells.size() == static_cast<size_t>(2 * size.columns * size.rows)) read.size = size;
  }
  if (!FromHex(cells, read.cells.data(), static_cast<size_t>(read.CellCount()))) return false;
  if (!After(text, "cgram", &cgram) || !FromHex(cgram, read.cgram.data(), read.cgram.size())) return false;
  for (uint8_t& row : read.cgram) row &= 0x1F;
  *s = read;
  return true;
}

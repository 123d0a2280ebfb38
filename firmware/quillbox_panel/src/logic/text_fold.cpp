#include "text_fold.h"

#include "flash_text.h"

namespace {

// Code page 1252 from 0x80 on, three characters each at most (NUL-terminated). Undefined
// code points become "?".
// clang-format off
const char kHighHalf[128][4] FLASH = {
    {"EUR"}, {"?"}, {","}, {"f"}, {"\""}, {"..."}, {"+"}, {"+"},  // 80
    {"^"}, {"%"}, {"S"}, {"<"}, {"OE"}, {"?"}, {"Z"}, {"?"},  // 88
    {"?"}, {"'"}, {"'"}, {"\""}, {"\""}, {"*"}, {"-"}, {"-"},  // 90
    {"-"}, {"TM"}, {"s"}, {">"}, {"oe"}, {"?"}, {"z"}, {"Y"},  // 98
    {" "}, {"!"}, {"c"}, {"L"}, {"*"}, {"Y"}, {"|"}, {"S"},  // A0
    {"\""}, {"(c)"}, {"a"}, {"<<"}, {"-"}, {"-"}, {"(R)"}, {"-"},  // A8
    {"o"}, {"+-"}, {"2"}, {"3"}, {"'"}, {"u"}, {"P"}, {"."},  // B0
    {","}, {"1"}, {"o"}, {">>"}, {"1/4"}, {"1/2"}, {"3/4"}, {"?"},  // B8
    {"A"}, {"A"}, {"A"}, {"A"}, {"A"}, {"A"}, {"AE"}, {"C"},  // C0
    {"E"}, {"E"}, {"E"}, {"E"}, {"I"}, {"I"}, {"I"}, {"I"},  // C8
    {"D"}, {"N"}, {"O"}, {"O"}, {"O"}, {"O"}, {"O"}, {"x"},  // D0
    {"O"}, {"U"}, {"U"}, {"U"}, {"U"}, {"Y"}, {"Th"}, {"ss"},  // D8
    {"a"}, {"a"}, {"a"}, {"a"}, {"a"}, {"a"}, {"ae"}, {"c"},  // E0
    {"e"}, {"e"}, {"e"}, {"e"}, {"i"}, {"i"}, {"i"}, {"i"},  // E8
    {"d"}, {"n"}, {"o"}, {"o"}, {"o"}, {"o"}, {"o"}, {"/"},  // F0
    {"o"}, {"u"}, {"u"}, {"u"}, {"u"}, {"y"}, {"th"}, {"y"},  // F8
};
// clang-format on

}  // namespace

uint8_t FoldChar(uint8_t c, char* out) {
  if (c >= 0x80) {
    const char* fold = kHighHalf[c - 0x80];
    uint8_t n = 0;
    for (; n < 3 && FlashByte(fold + n) != 0; n++) out[n] = static_cast<char>(FlashByte(fold + n));
    return n;
  }
  if (c < 0x20 || c == 0x7F) {
    out[0] = ' ';
  } else if (c == '\\') {
    out[0] = '/';  // the ROM shows a yen sign here
  } else if (c == '~') {
    out[0] = '-';  // ... and an arrow here
  } else {
    out[0] = static_cast<char>(c);
  }
  return 1;
}

uint8_t FoldText(const char* text, uint8_t length, char* out, uint8_t room) {
  if (room == 0) return 0;
  uint8_t written = 0;
  for (uint8_t i = 0; i < length && text[i] != '\0'; i++) {
    char folded[3];
    const uint8_t n = FoldChar(static_cast<uint8_t>(text[i]), folded);
    if (written + n + 1 > room) break;
    for (uint8_t k = 0; k < n; k++) out[written++] = folded[k];
  }
  out[written] = '\0';
  return written;
}

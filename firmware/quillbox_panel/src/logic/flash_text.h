// Constant texts and tables in program memory. On the ATmega328P every constant in the
// data space is copied into its 2 KB of RAM at start-up, so the panel's messages and
// tables live in flash and are read a byte at a time; on a PC (tests, fuzzers) the same
// code reads them as ordinary memory.
#pragma once
#include <stdint.h>

#ifdef __AVR__
#include <avr/pgmspace.h>
#define FLASH PROGMEM
inline uint8_t FlashByte(const void* at) { return pgm_read_byte(at); }
inline void FlashCopy(void* to, const void* from, uint8_t length) { memcpy_P(to, from, length); }
#else
#include <string.h>
#define FLASH
inline uint8_t FlashByte(const void* at) { return *static_cast<const uint8_t*>(at); }
inline void FlashCopy(void* to, const void* from, uint8_t length) { memcpy(to, from, length); }
#endif

// A text in flash: a distinct type, so that it is never read as a RAM text. Written where
// it is used, FLASH_TEXT("Next song"), as a literal that never takes RAM.
struct FlashText {
  const char* at;
};
#ifdef __AVR__
// PSTR's static is lost when avr-g++ 5 inlines a function of an unnamed namespace that
// uses it (an undefined "__c" at link time); a lambda's static is kept.
#define FLASH_TEXT(literal)                     \
  (FlashText{[]() -> const char* {              \
    static const char text[] PROGMEM = literal; \
    return text;                                \
  }()})
#else
#define FLASH_TEXT(literal) (FlashText{literal})
#endif

inline char FlashChar(FlashText text, uint8_t i) { return static_cast<char>(FlashByte(text.at + i)); }

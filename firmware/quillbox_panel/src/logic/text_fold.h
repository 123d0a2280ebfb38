// Titles arrive in code page 1252; the display's character set (the HD44780's ROM A00)
// is ASCII, except that it shows a yen sign for "\" and arrows for "~" and DEL. So every
// text goes through here on its way to the display: accented letters become their base
// letter (é to e, Å to A), ligatures and a few signs become two or three letters (ß to
// ss, Æ to AE, … to ...), "\" becomes "/", and whatever has no sensible ASCII form
// becomes "?" or a blank. Nothing else ever reaches the display but the custom glyphs.
#pragma once
#include <stdint.h>

// Folds `length` bytes of text (stopping early at a NUL) into out, at most room - 1
// characters and a NUL; a fold that would not fit whole is left out. Returns the length
// written.
uint8_t FoldText(const char* text, uint8_t length, char* out, uint8_t room);

// The display form of one byte: at most three characters written to out (not
// terminated); returns how many.
uint8_t FoldChar(uint8_t c, char* out);

// Command payloads as vectors, built by the panel wire codec
// (firmware/quillbox_panel/src/wire/) from the command tables rather than from the
// plug-in's code.
#pragma once
#include <string>

#include "wire.h"
#include "wire/command_payload.h"

const char* ListKindName(ListKind kind);

// Six bytes: letter, 0, sub-command, index high, index low, 0.
Bytes CommandPayload(char letter, uint8_t sub, uint16_t index = 0);
// "E": ten bytes, index A in bytes 3 and 4, index B in bytes 5 and 6.
Bytes EditPayload(uint8_t sub, uint16_t a, uint16_t b = 0);
// "Q" 4: at most 19 characters of text, the rest of the 20 bytes NUL.
Bytes SearchPayload(const std::string& text);

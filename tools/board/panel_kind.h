// Which panel the board carries: the 16x2 LCD keypad shield, or an I2C display (20x4 or
// 16x2 on a PCF8574 backpack) with a rotary encoder. The firmware tells them apart by
// asking the bus for the backpack.
#pragma once
#include <string>

#include "glyph_table.h"

enum class PanelKind { Shield, I2c20x4, I2c16x2 };

bool PanelFromName(const std::string& name, PanelKind* kind);  // "shield", "i2c-20x4", "i2c-16x2"
const char* PanelName(PanelKind kind);
DisplaySize PanelSize(PanelKind kind);
inline bool PanelOnBus(PanelKind kind) { return kind != PanelKind::Shield; }

// The shield's five keys: their names in scripts and the voltage each puts on A0
// through the shield's resistor ladder (5 V with no key down).
#pragma once
#include <cstdint>
#include <string>

enum class PanelKey { None, Right, Up, Down, Left, Select };

const char* KeyName(PanelKey key);  // "right" ... "select"; "none"
uint32_t KeyMillivolts(PanelKey key);
// false for anything but the five names (letter case as written in scripts: lower).
bool KeyFromName(const std::string& name, PanelKey* key);

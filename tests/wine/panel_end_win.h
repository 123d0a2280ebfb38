// The panel's end of the null-modem line (COM2), opened and configured by the test
// itself rather than by the plug-in's code, so a mistake on one side cannot hide
// behind the same mistake on the other.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "panel/wire.h"  // frames as the panel builds them


HANDLE OpenPanelEnd();
void PanelWrite(HANDLE panel, const Bytes& bytes);
// Reads until `count` bytes arrived or `waitMs` passed.
Bytes PanelRead(HANDLE panel, size_t count, DWORD waitMs);
// True under Wine, which does not enforce exclusive opens.
bool RunningUnderWine();

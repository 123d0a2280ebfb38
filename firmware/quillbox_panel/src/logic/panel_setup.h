// What a panel is built from, chosen once on the setup screen and kept in the EEPROM
// (stored_record.h): the I2C display's size, since a 20x4 and a 16x2 backpack look alike
// on the bus, and the encoder's kind, a whole quadrature cycle or half of one a detent.
// The shield's display is always 16x2; only a panel on the bus takes the stored size.
#pragma once
#include <stdint.h>

#include "encoder.h"
#include "screen.h"

struct PanelSetup {
  DisplaySize size;
  DetentSetting detents;
};

// The defaults, used until a valid record says otherwise: a 16x2 display, whose screens
// a 20x4 shows whole in its top-left corner (where a 16x2 given a 20x4's screens would
// lose their right-hand columns and the notices of the last row), and an encoder that
// tells its kind by how it rests.
constexpr PanelSetup kDefaultSetup = {DisplaySize::k16x2, DetentSetting::kAuto};

// Reads the record (the defaults when there is none, or it is not valid) and uses it.
void SetupLoad();
const PanelSetup& SetupInUse();
// Uses a new setup at once: the screens take the size, the encoder its kind.
void SetupUse(const PanelSetup& setup);
// Keeps the setup in use, when it differs from the one kept.
void SetupKeep();

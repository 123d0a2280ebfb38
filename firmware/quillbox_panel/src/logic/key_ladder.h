// The readings that tell the five keys apart: the defaults of uno_shield.h, which decode
// every published revision of the shield, or thresholds calibrated on the user's own
// shield and kept in EEPROM.
//
// Calibration takes one settled reading per key, in the ladder's order, and puts each
// threshold half-way between neighbours (the last half-way to no key, 1023). The record
// in EEPROM (stored_record.h) is used only when its CRC holds and its thresholds are
// sane; otherwise, and after LadderReset, the defaults are.
#pragma once
#include <stdint.h>

#include "keys.h"

constexpr uint8_t kLadderKeys = 5;  // Right, Up, Down, Left, Select: rising voltage
// Neighbouring keys' readings at least this far apart (about 0.1 V), so that noise and
// the resistors' drift cannot carry one key into the next.
constexpr uint16_t kMinKeyGap = 20;

// The key a reading (0..1023) falls on under the thresholds in use; None for no key.
Key KeyFromReading(uint16_t reading);

// Takes the calibrated thresholds from EEPROM when they are valid; the defaults otherwise.
void LadderLoad();
// Whether calibrated thresholds are in use.
bool LadderCalibrated();
// Calibrates from the keys' readings (Right first): true when they make a sane ladder,
// which is then stored and used; false, and nothing changed, otherwise.
bool LadderSet(const uint16_t (&readings)[kLadderKeys]);
// Back to the defaults, the stored record made invalid.
void LadderReset();

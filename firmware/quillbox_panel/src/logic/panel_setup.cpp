#include "panel_setup.h"

#include "board_io.h"
#include "stored_record.h"

namespace {

// The record: the size, then the encoder's kind, one byte each.
constexpr uint8_t kRecordFormat = 0x53;
constexpr uint8_t kPayloadLength = 2;
static_assert(kPayloadLength <= kRecordPayloadRoom, "the setup fits a record");

PanelSetup InUse = kDefaultSetup;

// What the EEPROM gives: the record's setup, or the defaults without a valid one.
PanelSetup Kept() {
  uint8_t payload[kPayloadLength];
  // A value no firmware writes is a record from elsewhere: the defaults are safer.
  if (!RecordRead(kSetupRecordAt, kRecordFormat, payload, kPayloadLength) ||
      payload[0] > static_cast<uint8_t>(DisplaySize::k20x4) || payload[1] > static_cast<uint8_t>(DetentSetting::kTwo)) {
    return kDefaultSetup;
  }
  return PanelSetup{static_cast<DisplaySize>(payload[0]), static_cast<DetentSetting>(payload[1])};
}

}  // namespace

void SetupLoad() { SetupUse(Kept()); }

const PanelSetup& SetupInUse() { return InUse; }

void SetupUse(const PanelSetup& setup) {
  InUse = setup;
  SetDisplaySize(DisplayOnBus() ? setup.size : DisplaySize::k16x2);
  EncoderSet(setup.detents);
}

void SetupKeep() {
  const PanelSetup kept = Kept();
  if (kept.size == InUse.size && kept.detents == InUse.detents) return;  // an EEPROM byte lasts 100,000 writes
  const uint8_t payload[kPayloadLength] = {static_cast<uint8_t>(InUse.size), static_cast<uint8_t>(InUse.detents)};
  RecordWrite(kSetupRecordAt, kRecordFormat, payload, kPayloadLength);
}

// The PCF8574 (or PCF8574A) port expander on the two-wire bus: it answers its one
// address (0x20-0x27, or 0x38-0x3F for the A), takes each byte written as its eight
// quasi-bidirectional outputs once it has acknowledged it, and reads back its pins. At
// power on every output is high. Unfitted (a backpack unplugged), nothing answers.
#pragma once
#include <cstdint>
#include <functional>

#include "twi_master.h"

// Whether the address is one a PCF8574 or PCF8574A can be strapped to.
bool ExpanderAddress(uint8_t address7);

class Pcf8574 : public TwiDevice {
 public:
  using PortChanged = std::function<void(uint8_t port, uint64_t cycle)>;
  Pcf8574(uint8_t address7, PortChanged changed) : address_(address7), changed_(std::move(changed)) {}
  void Fit(bool fitted) { fitted_ = fitted; }
  bool Fitted() const { return fitted_; }
  uint8_t Port() const { return port_; }
  uint8_t Address7() const { return address_; }
  uint32_t BytesWritten() const { return written_; }

  bool Address(uint8_t address7, bool read, uint64_t cycle) override;
  bool Write(uint8_t byte, uint64_t cycle) override;
  uint8_t Read(uint64_t cycle) override;
  void Stop(uint64_t) override { selected_ = false; }

 private:
  uint8_t address_;
  PortChanged changed_;
  bool fitted_ = true;
  bool selected_ = false;
  uint8_t port_ = 0xFF;
  uint32_t written_ = 0;
};

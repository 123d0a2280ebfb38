#include "eeprom_watch.h"

#include <cstdio>

#include <avr_eeprom.h>

#include "board_chip.h"
#include "board_faults.h"
#include "simavr.h"

namespace {

// The ATmega328P's EEPROM registers, data addresses, and EECR's bits.
constexpr avr_io_addr_t kEecr = 0x3F;
constexpr avr_io_addr_t kEearl = 0x41;
constexpr avr_io_addr_t kEearh = 0x42;
constexpr uint8_t kEere = 1 << 0;
constexpr uint8_t kEepe = 1 << 1;
constexpr uint8_t kEempe = 1 << 2;
constexpr uint16_t kEepromBytes = 1024;

// simavr calls plain functions: one chip, so one watch, a process.
EepromWatch* watch = nullptr;
avr_io_write_t simavrControl = nullptr;
void* simavrControlParam = nullptr;

void WriteControl(avr_t* avr, avr_io_addr_t addr, uint8_t v, void*) {
  watch->ControlWritten(v);
  simavrControl(avr, addr, v, simavrControlParam);
}

void WriteAddress(avr_t* avr, avr_io_addr_t addr, uint8_t v, void*) {
  watch->AddressWritten(addr, v);
  avr->data[addr] = v;
}

std::string Hex3(uint16_t address) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%03X", address);
  return text;
}

uint64_t Cycles(double ms) { return static_cast<uint64_t>(ms * kCyclesPerMs); }

}  // namespace

bool EepromWatch::Attach(avr_t* avr, BoardFaults* faults) {
  avr_ = avr;
  faults_ = faults;
  avr_eeprom_desc_t desc{};
  avr_ioctl(avr, AVR_IOCTL_EEPROM_GET, &desc);  // no buffer: simavr's own bytes
  bytes_ = desc.ee;
  auto& control = avr->io[AVR_DATA_TO_IO(kEecr)].w;
  if (bytes_ == nullptr || control.c == nullptr) return false;
  watch = this;
  simavrControl = control.c;
  simavrControlParam = control.param;
  control.c = WriteControl;
  control.param = nullptr;
  avr_register_io_write(avr, kEearl, WriteAddress, nullptr);
  avr_register_io_write(avr, kEearh, WriteAddress, nullptr);
  return true;
}

uint16_t EepromWatch::Address() const {
  return static_cast<uint16_t>((avr_->data[kEearl] | avr_->data[kEearh] << 8) & (kEepromBytes - 1));
}

bool EepromWatch::Writing() const { return avr_->cycle < writeEnds_; }

void EepromWatch::ControlWritten(uint8_t value) {
  const bool writes = (avr_->data[kEecr] & kEempe) && (value & kEepe);
  const bool reads = (value & kEere) != 0;
  if (Writing() && (writes || reads)) {
    faults_->Note(FaultKind::Eeprom, avr_->cycle / kCyclesPerMs,
                  std::string(writes ? "write" : "read") + " at " + Hex3(Address()) + " while " + Hex3(writingAt_) +
                      " is being written");
  }
  if (!writes) return;
  writes_++;
  writingAt_ = Address();
  writeEnds_ = avr_->cycle + Cycles(kEepromWriteMs);
  if (cutAfter_ > 0 && --cutAfter_ == 0) cutAt_ = avr_->cycle + Cycles(kEepromWriteMs / 2);
}

void EepromWatch::AddressWritten(uint16_t address, uint8_t value) {
  if (!Writing() || avr_->data[address] == value) return;
  faults_->Note(FaultKind::Eeprom, avr_->cycle / kCyclesPerMs,
                "address changed while " + Hex3(writingAt_) + " is being written");
}

void EepromWatch::ArmCut(int n) {
  cutAfter_ = n;
  cutAt_ = 0;
}

bool EepromWatch::CutDue() {
  if (cutAt_ == 0 || avr_->cycle < cutAt_) return false;
  cutAt_ = 0;
  return true;
}

std::string EepromWatch::OnReset() {
  cutAt_ = 0;
  if (!Writing()) return "";
  writeEnds_ = 0;
  bytes_[writingAt_] = 0xFF;
  return "write of " + Hex3(writingAt_) + " cut: left erased";
}

std::string EepromWatch::StrayWrite() {
  const uint16_t at = Address();
  bytes_[at] = static_cast<uint8_t>(~bytes_[at]);
  return "stray write at " + Hex3(at);
}

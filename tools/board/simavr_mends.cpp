#include "simavr_mends.h"

#include <cstring>
#include <utility>

#include <avr_flash.h>
#include <avr_watchdog.h>

#include "flash_guard.h"
#include "simavr.h"

namespace {

// The ATmega328P's registers, data addresses.
constexpr avr_io_addr_t kWdtcsr = 0x60;
constexpr uint8_t kWdce = 1 << 4;
constexpr avr_io_addr_t kSpmcsr = 0x57;
constexpr uint8_t kPgers = 1 << 1;
constexpr uint8_t kPgwrt = 1 << 2;

avr_io_write_t watchdogWrite = nullptr;
void* watchdogParam = nullptr;

// WDP3 is bit 5, WDP2:0 bits 2 to 0.
uint8_t Prescaler(uint8_t wdtcsr) { return static_cast<uint8_t>((wdtcsr & 0x07) | (wdtcsr >> 2 & 0x08)); }

void WriteWatchdog(avr_t* avr, avr_io_addr_t addr, uint8_t v, void*) {
  const uint8_t before = avr->data[addr];
  watchdogWrite(avr, addr, v, watchdogParam);
  // The watchdog module keeps the new period itself; only its timer runs on at the old
  // one. A WDR arms it afresh at the period it holds.
  if ((before & kWdce) && Prescaler(before) != Prescaler(avr->data[addr])) {
    avr_ioctl(avr, AVR_IOCTL_WATCHDOG_RESET, nullptr);
  }
}

struct SpmMend {
  avr_io_t io;  // first: simavr hands the ioctl a pointer to it
  avr_io_t* flash;
  std::function<void()> after;
};
SpmMend spm;

void SetZ(avr_t* avr, uint16_t z) {
  avr->data[R_ZL] = static_cast<uint8_t>(z);
  avr->data[R_ZH] = static_cast<uint8_t>(z >> 8);
}

// simavr asks every module in turn until one takes the SPM; this one comes first, hands
// the flash module a page-aligned Z for an erase or a page write, and gives Z back.
int DoSpm(avr_io_t*, uint32_t ctl, void* param) {
  if (ctl != AVR_IOCTL_FLASH_SPM) return -1;
  avr_t* avr = spm.flash->avr;
  const uint16_t z = static_cast<uint16_t>(avr->data[R_ZL] | avr->data[R_ZH] << 8);
  if (avr->data[kSpmcsr] & (kPgers | kPgwrt)) SetZ(avr, static_cast<uint16_t>(z & ~(kFlashPageBytes - 1)));
  const int taken = spm.flash->ioctl(spm.flash, ctl, param);
  SetZ(avr, z);
  spm.after();
  return taken;
}

avr_io_t* FindIo(avr_t* avr, const char* kind) {
  for (avr_io_t* io = avr->io_port; io != nullptr; io = io->next) {
    if (io->kind != nullptr && std::strcmp(io->kind, kind) == 0) return io;
  }
  return nullptr;
}

}  // namespace

void MendPortsAfterReset(avr_t* avr) {
  for (const char port : {'B', 'C', 'D'}) {
    for (int bit = 0; bit < 8; bit++) {
      avr_irq_t* irq = avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ(port), bit);
      if (irq != nullptr) irq->value = 0;
    }
  }
}

bool MendWatchdog(avr_t* avr) {
  auto& write = avr->io[AVR_DATA_TO_IO(kWdtcsr)].w;
  if (write.c == nullptr) return false;
  watchdogWrite = write.c;
  watchdogParam = write.param;
  write.c = WriteWatchdog;
  write.param = nullptr;
  return true;
}

bool MendSpm(avr_t* avr, std::function<void()> afterSpm) {
  spm.flash = FindIo(avr, "flash");
  if (spm.flash == nullptr || spm.flash->ioctl == nullptr) return false;
  spm.after = std::move(afterSpm);
  spm.io.kind = "spm mend";
  spm.io.ioctl = DoSpm;
  avr_register_io(avr, &spm.io);
  return avr->io_port == &spm.io;  // asked before the flash module
}

#include "board_chip.h"

#include <cstring>

#include "simavr.h"

namespace {

// simavr's own sleep callback sleeps for real, for as long as the chip sleeps; the
// board keeps to the wall clock itself, so a sleep only counts the cycles. One chip a
// process: simavr hands the callback no room for a pointer of ours.
uint64_t sleptCycles = 0;

void CountSleep(avr_t*, avr_cycle_count_t howLong) { sleptCycles += howLong + 1; }

// "out 0x3D, Rr" (SPL) at pc or the instruction after: OUT is 1011 1AAr rrrr AAAA.
bool SplComes(const avr_t* avr, uint32_t pc) {
  for (uint32_t at = pc; at <= pc + 2 && at < avr->flashend; at += 2) {
    const uint16_t op = static_cast<uint16_t>(avr->flash[at] | avr->flash[at + 1] << 8);
    if ((op & 0xF800) == 0xB800 && (((op >> 5) & 0x30) | (op & 0x0F)) == 0x3D) return true;
  }
  return false;
}

// AVR data addresses in an ELF are offset by 0x800000.
constexpr uint32_t kDataOffset = 0x800000;

bool FindSymbol(const elf_firmware_t& f, const char* name, uint32_t* address) {
  for (uint32_t i = 0; i < f.symbolcount; i++) {
    if (std::strcmp(f.symbol[i]->symbol, name) == 0) {
      *address = f.symbol[i]->addr;
      return true;
    }
  }
  return false;
}

}  // namespace

bool BoardChip::Load(const std::string& elfPath, std::string* problem) {
  static elf_firmware_t firmware;  // simavr keeps pointers into it
  std::memset(&firmware, 0, sizeof firmware);
  if (elf_read_firmware(elfPath.c_str(), &firmware) != 0) {
    *problem = elfPath + ": not an AVR ELF file";
    return false;
  }
  avr_ = avr_make_mcu_by_name("atmega328p");
  if (avr_ == nullptr || avr_init(avr_) != 0) {
    *problem = "simavr has no atmega328p";
    return false;
  }
  firmware.frequency = kClockHz;
  avr_->frequency = kClockHz;
  avr_load_firmware(avr_, &firmware);
  avr_->vcc = avr_->avcc = avr_->aref = 5000;
  avr_->sleep = CountSleep;
  uint32_t address = 0;
  hasOverruns_ = FindSymbol(firmware, "RxOverruns", &address) && address >= kDataOffset &&
                 address + 1 <= kDataOffset + kRamEnd;
  overrunsAt_ = static_cast<uint16_t>(address - kDataOffset);
  return true;
}

uint64_t BoardChip::Cycle() const { return avr_->cycle; }

void BoardChip::RunUntil(uint64_t cycle) {
  while (avr_->cycle < cycle) {
    if (*Halted()) {
      avr_->cycle = cycle;
      return;
    }
    avr_run(avr_);
    // Every push is an instruction of its own, interrupt entries included: the lowest
    // pointer seen after each instruction is the lowest there was. A frame is made by
    // writing SPH, then SREG, then SPL: until SPL the pointer is half old, half new, and
    // can read up to 255 bytes deeper than it ever is.
    const uint16_t sp = static_cast<uint16_t>(avr_->data[R_SPL] | avr_->data[R_SPH] << 8);
    if (sp < lowestSp_ && !SplComes(avr_, avr_->pc)) lowestSp_ = sp;
  }
}

void BoardChip::Reset() { avr_reset(avr_); }

const char* BoardChip::Halted() const {
  if (avr_->state == cpu_Crashed) return "crashed";
  if (avr_->state == cpu_Done) return "stopped (asleep with interrupts off)";
  return "";
}

int BoardChip::Overruns() const {
  if (!hasOverruns_) return -1;
  return avr_->data[overrunsAt_] | avr_->data[overrunsAt_ + 1] << 8;
}

double BoardChip::AsleepPercent() const {
  if (avr_->cycle == 0) return 0;
  return 100.0 * static_cast<double>(sleptCycles) / static_cast<double>(avr_->cycle);
}

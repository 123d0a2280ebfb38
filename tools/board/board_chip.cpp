#include "board_chip.h"

#include <cstdio>
#include <cstring>

#include "simavr.h"
#include "simavr_mends.h"

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

// MCUSR, data address, and its reset flags.
constexpr uint16_t kMcusr = 0x54;
constexpr uint8_t kPorf = 1 << 0;
constexpr uint8_t kExtrf = 1 << 1;
constexpr uint8_t kBorf = 1 << 2;
constexpr uint16_t kUcsr0b = 0xC1;

bool FindSymbol(const elf_firmware_t& f, const char* name, uint32_t* address) {
  for (uint32_t i = 0; i < f.symbolcount; i++) {
    if (std::strcmp(f.symbol[i]->symbol, name) == 0) {
      *address = f.symbol[i]->addr;
      return true;
    }
  }
  return false;
}

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%04X", value);
  return text;
}

}  // namespace

// BOOTSZ1:0 (high fuse bits 2 and 1) 11, 10, 01, 00: 256, 512, 1024, 2048 words.
uint32_t ResetAddress(uint8_t highFuse) {
  if (highFuse & 0x01) return 0;
  const uint32_t bootWords = 256u << (3 - (highFuse >> 1 & 0x03));
  return 0x8000 - 2 * bootWords;
}

bool BoardChip::Load(const std::string& elfPath, const std::string& bootHexPath, std::string* problem) {
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
  bootStart_ = ResetAddress(kFuses[1]);
  if (firmware.flashbase + firmware.flashsize > bootStart_) {
    *problem = elfPath + ": " + std::to_string(firmware.flashsize) + " bytes of flash run into the boot section at " +
               Hex(bootStart_);
    return false;
  }
  avr_load_firmware(avr_, &firmware);
  if (!LoadBootloader(bootHexPath, problem)) return false;
  std::memcpy(avr_->fuse, kFuses, sizeof kFuses);
  avr_->reset_pc = bootStart_;
  avr_->codeend = avr_->flashend;  // the bootloader's code too
  avr_->vcc = avr_->avcc = avr_->aref = 5000;
  avr_->sleep = CountSleep;
  runOne_ = avr_->run;
  if (!MendWatchdog(avr_) || !MendSpm(avr_, [this] { LookAtFlash(); })) {
    *problem = "simavr's atmega328p has no watchdog or no self-programming";
    return false;
  }
  guard_.Take(avr_->flash, bootStart_);
  uint32_t address = 0;
  hasOverruns_ = FindSymbol(firmware, "RxOverruns", &address) && address >= kDataOffset &&
                 address + 1 <= kDataOffset + kRamEnd;
  overrunsAt_ = static_cast<uint16_t>(address - kDataOffset);
  avr_reset(avr_);
  avr_->data[kMcusr] = kPorf;
  StartUp();
  return true;
}

// The image a programmer writes into the boot section, as the Uno's maker does.
bool BoardChip::LoadBootloader(const std::string& hexPath, std::string* problem) {
  ihex_chunk_p chunks = nullptr;
  const int count = read_ihex_chunks(hexPath.c_str(), &chunks);
  bool startsBoot = false;
  bool fits = count > 0;
  for (int i = 0; i < count; i++) {
    const ihex_chunk_t& c = chunks[i];
    fits = fits && c.baseaddr >= bootStart_ && c.baseaddr + c.size <= avr_->flashend + 1;
    startsBoot = startsBoot || c.baseaddr == bootStart_;
    if (fits) std::memcpy(avr_->flash + c.baseaddr, c.data, c.size);
  }
  if (count > 0) free_ihex_chunks(chunks);
  if (!fits || !startsBoot) {
    *problem = hexPath + ": not a bootloader for the boot section at " + Hex(bootStart_);
    return false;
  }
  return true;
}

uint64_t BoardChip::Cycle() const { return avr_->cycle; }

void BoardChip::RunUntil(uint64_t cycle) {
  while (avr_->cycle < cycle) {
    if (Held()) {
      HoldUntil(cycle < heldUntil_ ? cycle : heldUntil_);
      continue;
    }
    if (*Halted()) {
      avr_->cycle = cycle;
      return;
    }
    // simavr's watchdog resets the chip in place of the next instruction, by putting
    // its own function where the one that runs an instruction was.
    const bool watchdogResets = avr_->run != runOne_;
    const bool inBoot = avr_->pc >= bootStart_;
    const uint64_t before = avr_->cycle;
    avr_run(avr_);
    if (inBoot) notFirmwareCycles_ += avr_->cycle - before;
    if (watchdogResets) {
      watchdogResets_++;
      StartUp();
    }
    // Every push is an instruction of its own, interrupt entries included: the lowest
    // pointer seen after each instruction is the lowest there was. A frame is made by
    // writing SPH, then SREG, then SPL: until SPL the pointer is half old, half new, and
    // can read up to 255 bytes deeper than it ever is.
    const uint16_t sp = static_cast<uint16_t>(avr_->data[R_SPL] | avr_->data[R_SPH] << 8);
    if (sp < lowestSp_ && !SplComes(avr_, avr_->pc)) lowestSp_ = sp;
  }
}

void BoardChip::Reset() {
  const uint8_t flags = avr_->data[kMcusr];  // kept until the firmware clears them
  avr_reset(avr_);
  avr_->data[kMcusr] = flags | kExtrf;
  StartUp();
}

void BoardChip::BrownOutReset() {
  const uint8_t flags = avr_->data[kMcusr];
  avr_reset(avr_);
  avr_->data[kMcusr] = flags | kBorf;
  StartUp();
}

// simavr starts at the reset vector at once; the chip waits out the start-up time
// its low fuse chose first (SUT1:0 11 with a crystal: 65 ms). simavr's reset also leaves
// UART0's transmitter on (UCSR0B 0x08), where the chip's starts off (0x00): TX is not
// driven until the bootloader or the firmware turns it on.
void BoardChip::StartUp() {
  heldUntil_ = avr_->cycle + static_cast<uint64_t>(kStartUpMs * kCyclesPerMs);
  avr_->data[kUcsr0b] = 0;
}

bool BoardChip::Held() const { return avr_->cycle < heldUntil_; }

// Time passes without the chip: what simavr has pending (the watchdog a watchdog reset
// left running, above all) waits, as the chip's timers wait in reset.
void BoardChip::HoldUntil(uint64_t cycle) {
  const uint64_t held = cycle - avr_->cycle;
  notFirmwareCycles_ += held;
  for (avr_cycle_timer_slot_p t = avr_->cycle_timers.timer; t != nullptr; t = t->next) t->when += held;
  avr_->cycle = cycle;
}

int BoardChip::TakeWatchdogResets() {
  const int n = watchdogResets_;
  watchdogResets_ = 0;
  return n;
}

void BoardChip::LookAtFlash() {
  for (const uint32_t page : guard_.Changed(avr_->flash)) flashChanges_.push_back({page, NowMs()});
}

std::vector<FlashChange> BoardChip::TakeFlashChanges() {
  std::vector<FlashChange> changes;
  changes.swap(flashChanges_);
  return changes;
}

const char* BoardChip::Halted() const {
  if (avr_->state == cpu_Crashed) return "crashed";
  if (avr_->state == cpu_Done) return "stopped (asleep with interrupts off)";
  return "";
}

int BoardChip::Overruns() const {
  if (!hasOverruns_) return -1;
  return avr_->data[overrunsAt_] | avr_->data[overrunsAt_ + 1] << 8;
}

// Of the firmware's own time: the bootloader never sleeps, and the start-up time is
// neither.
double BoardChip::AsleepPercent() const {
  const uint64_t firmwareCycles = avr_->cycle - notFirmwareCycles_;
  if (firmwareCycles == 0) return 0;
  return 100.0 * static_cast<double>(sleptCycles) / static_cast<double>(firmwareCycles);
}

void BoardChip::EraseApplication() {
  std::memset(avr_->flash, 0xFF, bootStart_);
  guard_.Take(avr_->flash, bootStart_);
}

#include "board_twi.h"

#include <cstdio>
#include <cstring>

#include <avr_twi.h>

#include "board_chip.h"
#include "simavr.h"

namespace {

// The ATmega328P's registers, data addresses.
constexpr uint16_t kTwbr = 0xB8, kTwsr = 0xB9, kTwdr = 0xBB, kTwcr = 0xBC;
constexpr uint16_t kDdrC = 0x27, kPortC = 0x28;
constexpr uint8_t kSdaSclBits = (1 << 4) | (1 << 5);

avr_twi_t* FindTwi(avr_t* avr) {
  for (avr_io_t* io = avr->io_port; io != nullptr; io = io->next) {
    if (io->kind != nullptr && std::strcmp(io->kind, "twi") == 0) return reinterpret_cast<avr_twi_t*>(io);
  }
  return nullptr;
}

}  // namespace

BoardTwi::BoardTwi(TwiDevice& device, BoardFaults* faults) : master_(device), faults_(faults) {}

bool BoardTwi::Attach(avr_t* avr, bool pulledUp, BusFault fault) {
  avr_twi_t* twi = FindTwi(avr);
  if (twi == nullptr) return false;
  avr_ = avr;
  vector_ = &twi->twi;
  pulledUp_ = pulledUp && fault != BusFault::NoBackpack;
  fault_ = fault;
  if (!lines_.Hold(avr, 'C', 4, false, [this] { return Free(); }) ||
      !lines_.Hold(avr, 'C', 5, false, [this] { return PulledUp(); })) {
    return false;
  }
  for (const uint16_t addr : {kTwbr, kTwsr, kTwdr, kTwcr}) {
    auto& io = avr->io[AVR_DATA_TO_IO(addr)];
    io.r.c = OnRead;
    io.r.param = this;
    io.w.c = OnWrite;
    io.w.param = this;
  }
  Restart();
  return true;
}

void BoardTwi::Restart() {
  avr_cycle_timer_cancel(avr_, OnTimer, this);
  timerAt_ = 0;
  master_.Reset();
  avr_clear_interrupt(avr_, static_cast<avr_int_vector_t*>(vector_));
  lines_.Restore();
}

// By the backpack's resistors, or the chip's own (its pull-ups on inputs, PORTC4 and
// PORTC5 set; with the TWI on, the pins are the TWI's but the pull-ups stay).
bool BoardTwi::PulledUp() const {
  const uint8_t* d = avr_->data;
  const bool twiOn = (master_.Control() & kTwen) != 0;
  const bool ownPullUps = (d[kPortC] & kSdaSclBits) == kSdaSclBits && (twiOn || (d[kDdrC] & kSdaSclBits) == 0);
  return pulledUp_ || ownPullUps;
}

bool BoardTwi::Free() const { return fault_ != BusFault::SdaLow && PulledUp(); }

uint8_t BoardTwi::OnRead(avr_t*, uint16_t addr, void* param) {
  BoardTwi& t = *static_cast<BoardTwi*>(param);
  t.Settle();
  switch (addr) {
    case kTwbr: return t.master_.BitRate();
    case kTwsr: return t.master_.Status();
    case kTwdr: return t.master_.Data();
    default: return t.master_.Control();
  }
}

void BoardTwi::OnWrite(avr_t*, uint16_t addr, uint8_t v, void* param) {
  static_cast<BoardTwi*>(param)->Write(addr, v);
}

void BoardTwi::Write(uint16_t addr, uint8_t v) {
  Settle();
  const uint64_t now = avr_->cycle;
  if (addr == kTwbr) master_.WriteBitRate(v);
  if (addr == kTwsr) master_.WriteStatus(v);
  if (addr == kTwdr) master_.WriteData(v);
  if (addr == kTwcr) {
    // Clearing TWINT takes the interrupt's request away with it; the request is a level,
    // so TWIE set while TWINT stands raises it at once.
    const bool enabled = (master_.Control() & kTwie) != 0;
    if (v & kTwint) avr_clear_interrupt(avr_, static_cast<avr_int_vector_t*>(vector_));
    master_.WriteControl(v, now, Free());
    const uint8_t control = master_.Control();
    if (!enabled && (control & kTwie) && (control & kTwint)) {
      avr_raise_interrupt(avr_, static_cast<avr_int_vector_t*>(vector_));
    }
  }
  avr_->data[addr] = addr == kTwsr ? master_.Status() : addr == kTwcr ? master_.Control() : v;
  Settle();
}

uint64_t BoardTwi::OnTimer(avr_t*, uint64_t, void* param) {
  BoardTwi& t = *static_cast<BoardTwi*>(param);
  t.timerAt_ = 0;
  t.Settle();
  return 0;
}

// Ends what is due, raises the interrupt for a TWINT that came, notes a bit rate too
// fast, and times the next end. A START waiting for the bus is looked at again every
// SCL period of 100 kHz.
void BoardTwi::Settle() {
  const uint64_t now = avr_->cycle;
  const bool flagged = master_.Advance(now, Free());
  uint32_t period = 0;
  if (master_.TakeTooFast(&period) && faults_ != nullptr) {
    char what[96];
    std::snprintf(what, sizeof what, "SCL at %.0f kHz, faster than the expander's 100 kHz", kClockHz / 1000.0 / period);
    faults_->Note(FaultKind::Bus, now / kCyclesPerMs, what);
  }
  const uint8_t control = master_.Control();
  avr_->data[kTwcr] = control;
  avr_->data[kTwsr] = master_.Status();
  if (flagged && (control & kTwie)) avr_raise_interrupt(avr_, static_cast<avr_int_vector_t*>(vector_));
  uint64_t next = master_.NextEvent();
  if (next == 0 && master_.WaitingForBus()) next = now + kTwiFastestPeriodCycles;
  if (next == 0 || next == timerAt_) return;
  avr_cycle_timer_cancel(avr_, OnTimer, this);
  timerAt_ = next;
  avr_cycle_timer_register(avr_, next > now ? next - now : 1, OnTimer, this);
}

#include "line_uart.h"

#include <cstring>

#include "board_chip.h"
#include "simavr.h"

namespace {

avr_uart_t* FindUart(avr_t* avr, char name) {
  for (avr_io_t* io = avr->io_port; io != nullptr; io = io->next) {
    if (io->kind != nullptr && std::strcmp(io->kind, "uart") == 0) {
      avr_uart_t* uart = reinterpret_cast<avr_uart_t*>(io);
      if (uart->name == name) return uart;
    }
  }
  return nullptr;
}

// Cycles a byte takes at the rate and frame the firmware set: start bit, data bits,
// parity, stop bits.
uint64_t ByteCycles(avr_t* avr, const avr_uart_t* u) {
  const uint32_t ubrr = avr_regbit_get(avr, u->ubrrl) | avr_regbit_get(avr, u->ubrrh) << 8;
  const uint32_t divisor = avr_regbit_get(avr, u->u2x) ? 8 : 16;
  const uint32_t dataBits = 5 + avr_regbit_get(avr, u->ucsz) + 4 * avr_regbit_get(avr, u->ucsz2);
  const uint32_t parity = (avr->data[u->r_ucsrc] & 0x30) ? 1 : 0;  // UPM1:0
  const uint32_t stop = avr_regbit_get(avr, u->usbs) ? 2 : 1;
  return static_cast<uint64_t>(divisor) * (ubrr + 1) * (1 + dataBits + parity + stop);
}

}  // namespace

bool LineUart::Attach(avr_t* avr, ByteSink toPc, ByteSink intoChip, ByteSink lost) {
  avr_ = avr;
  uart_ = FindUart(avr, '0');
  if (uart_ == nullptr) return false;
  toPc_ = std::move(toPc);
  intoChip_ = std::move(intoChip);
  lost_ = std::move(lost);
  uint32_t flags = 0;
  avr_ioctl(avr, AVR_IOCTL_UART_GET_FLAGS('0'), &flags);
  // No echo of the firmware's bytes as text, and no real sleep while it polls an empty
  // receiver: the board keeps the pace itself.
  flags &= ~static_cast<uint32_t>(AVR_UART_FLAG_STDIO | AVR_UART_FLAG_POLL_SLEEP);
  avr_ioctl(avr, AVR_IOCTL_UART_SET_FLAGS('0'), &flags);
  input_ = avr_io_getirq(avr, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_INPUT);
  avr_irq_register_notify(avr_io_getirq(avr, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_OUTPUT), OnOutput, this);
  avr_irq_register_notify(avr_io_getirq(avr, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_OUT_XON), OnXon, this);
  avr_irq_register_notify(avr_io_getirq(avr, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_OUT_XOFF), OnXoff, this);
  // simavr takes one reader a register: the line reads UDR0 through simavr's own.
  auto& udr = avr->io[AVR_DATA_TO_IO(uart_->r_udr)].r;
  udrRead_ = udr.c;
  udrParam_ = udr.param;
  udr.c = OnUdrRead;
  udr.param = this;
  return true;
}

bool LineUart::TxFloating() const {
  constexpr avr_io_addr_t kDdrD = 0x2A;
  constexpr avr_io_addr_t kPortD = 0x2B;
  constexpr uint8_t kTx = 1 << 1;  // PD1
  return !avr_regbit_get(avr_, uart_->txen) && !(avr_->data[kDdrD] & kTx) && !(avr_->data[kPortD] & kTx);
}

double LineUart::NowMs() const { return static_cast<double>(avr_->cycle) / kCyclesPerMs; }

void LineUart::FromPc(const uint8_t* bytes, size_t count) {
  waiting_.insert(waiting_.end(), bytes, bytes + count);
  Arm();
}

void LineUart::Arm() {
  if (armed_ || waiting_.empty()) return;
  armed_ = true;
  StartBit();
  avr_cycle_timer_register(avr_, ByteCycles(avr_, uart_), OnFeedTime, this);
}

int LineUart::Queued() const {
  const uart_fifo_t& q = uart_->input;
  return (q.write + uart_fifo_fifo_size - q.read) & (uart_fifo_fifo_size - 1);
}

// A byte begins on the wire: with the buffer full, the byte waiting in the shift
// register is lost. It is the last in simavr's queue.
void LineUart::StartBit() {
  if (!avr_regbit_get(avr_, uart_->rxen) || !receiver_.StartBit()) return;
  uart_fifo_t& q = uart_->input;
  q.write = (q.write + uart_fifo_fifo_size - 1) & (uart_fifo_fifo_size - 1);
  const uint8_t byte = static_cast<uint8_t>(q.buffer[q.write]);
  avr_regbit_setto(avr_, uart_->dor, 1);
  lost_(byte, NowMs());
}

// A byte's stop bit: the receiver has it, and RXC rises now (simavr would raise it a
// byte time later).
void LineUart::Deliver(uint8_t byte) {
  if (!avr_regbit_get(avr_, uart_->rxen)) {
    dropped_++;
    receiver_.Reset();
    return;
  }
  intoChip_(byte, NowMs());
  const bool wasEmpty = Queued() == 0;
  if (wasEmpty) receiver_.Reset();  // simavr flushed it (the receiver was switched off)
  receiver_.Complete();
  // simavr turns away every byte while DOR stands; the chip only reports the loss with it.
  const bool overran = avr_regbit_get(avr_, uart_->dor) && !wasEmpty;
  avr_regbit_clear(avr_, uart_->dor);
  avr_raise_irq(input_, byte);
  if (overran) avr_regbit_setto(avr_, uart_->dor, 1);
  if (wasEmpty && Queued() > 0) {
    uart_->rxc_raise_time = avr_->cycle;
    uart_->rx_cnt = 0;
    avr_raise_interrupt(avr_, &uart_->rxc);
  }
}

// One byte time has passed: the byte on the wire is complete, and the next, if any,
// begins at once.
uint64_t LineUart::OnFeedTime(avr_t* avr, uint64_t when, void* self) {
  LineUart* line = static_cast<LineUart*>(self);
  if (line->room_ && !line->waiting_.empty()) {
    const uint8_t byte = line->waiting_.front();
    line->waiting_.pop_front();
    line->Deliver(byte);
  }
  line->armed_ = !line->waiting_.empty();
  if (!line->armed_) return 0;
  line->StartBit();
  return when + ByteCycles(avr, line->uart_);
}

// The firmware reads UDR0: when simavr's queue gave up a byte, the receiver did too.
uint8_t LineUart::OnUdrRead(avr_t* avr, uint16_t addr, void* self) {
  LineUart* line = static_cast<LineUart*>(self);
  const int before = line->Queued();
  const uint8_t value = line->udrRead_(avr, addr, line->udrParam_);
  if (line->Queued() < before) line->receiver_.Read();
  return value;
}

void LineUart::OnOutput(avr_irq_t*, uint32_t value, void* self) {
  LineUart* line = static_cast<LineUart*>(self);
  line->toPc_(static_cast<uint8_t>(value), line->NowMs());
}

void LineUart::OnXon(avr_irq_t*, uint32_t, void* self) { static_cast<LineUart*>(self)->room_ = true; }

void LineUart::OnXoff(avr_irq_t*, uint32_t, void* self) { static_cast<LineUart*>(self)->room_ = false; }

void LineUart::KeepTiming() {
  const uint64_t cycles = ByteCycles(avr_, uart_);
  if (uart_->cycles_per_byte != cycles) uart_->cycles_per_byte = cycles;
}

void LineUart::Restart() {
  waiting_.clear();
  receiver_.Reset();
  room_ = true;
  avr_cycle_timer_cancel(avr_, OnFeedTime, this);
  armed_ = false;
}

// The ATmega328P's two-wire interface as a bus master, as its datasheet gives it, in
// chip cycles. simavr 1.6's own is kinder and wrong: writing a one to TWINT never clears
// it, every byte takes 9 us whatever the bit rate, START and the address take no time,
// and the address byte gets the data byte's status codes. This model replaces it:
// - an action (START, STOP, a byte) begins only when the firmware writes a one to TWINT,
//   which clears the flag; TWINT is set again when the action has ended;
// - SCL's period is 16 + 2 * TWBR * 4^TWPS cycles (100 kHz: TWBR 72, TWPS 0); START takes
//   one period, a byte (address or data) nine, its acknowledge included; STOP takes one
//   period and clears TWSTO itself, with no TWINT; a START asked meanwhile follows it;
// - the status codes of the master transmitter and receiver: 0x08 START, 0x10 repeated
//   START, 0x18/0x20 address+W acknowledged or not, 0x28/0x30 data, 0x40/0x48 address+R,
//   0x50/0x58 a byte received with or without our acknowledge; 0xF8 while nothing is
//   known;
// - TWDR written while TWINT is clear is ignored and sets TWWC;
// - a START waits while the bus is not free (SDA held low, or no pull-up on the lines):
//   TWINT then never comes, and only clearing TWEN ends the wait.
// What is on the bus answers through TwiDevice; whether the lines are free (both pulled
// up, neither held low) comes with each call; the timing lives in the board's glue, which
// asks NextEvent() and calls Advance().
#pragma once
#include <cstdint>

// Register bits.
constexpr uint8_t kTwint = 1 << 7, kTwea = 1 << 6, kTwsta = 1 << 5, kTwsto = 1 << 4, kTwwc = 1 << 3,
                  kTwen = 1 << 2, kTwie = 1 << 0;
constexpr uint8_t kTwpsMask = 0x03;

// The status codes (TWSR bits 7-3).
enum TwiStatus : uint8_t {
  kTwiStart = 0x08,
  kTwiRepeatedStart = 0x10,
  kTwiAddressWriteAck = 0x18,
  kTwiAddressWriteNack = 0x20,
  kTwiDataWriteAck = 0x28,
  kTwiDataWriteNack = 0x30,
  kTwiAddressReadAck = 0x40,
  kTwiAddressReadNack = 0x48,
  kTwiDataReadAck = 0x50,
  kTwiDataReadNack = 0x58,
  kTwiNoState = 0xF8,
};

constexpr uint32_t kTwiFastestPeriodCycles = 160;  // 100 kHz at 16 MHz: the expanders' limit

// What answers on the bus. Address() and Write() return whether the device acknowledged.
class TwiDevice {
 public:
  virtual ~TwiDevice() = default;
  virtual bool Address(uint8_t address7, bool read, uint64_t cycle) = 0;
  virtual bool Write(uint8_t byte, uint64_t cycle) = 0;
  virtual uint8_t Read(uint64_t cycle) = 0;
  virtual void Stop(uint64_t cycle) = 0;
};

uint32_t SclPeriodCycles(uint8_t twbr, uint8_t twps);

class TwiMaster {
 public:
  explicit TwiMaster(TwiDevice& device) : device_(device) {}
  // The registers at reset: TWBR 0, TWSR 0xF8, TWDR 0xFF, TWCR 0; nothing under way.
  void Reset();
  void WriteControl(uint8_t value, uint64_t cycle, bool busFree);
  void WriteData(uint8_t value);
  void WriteStatus(uint8_t value) { prescaler_ = value & kTwpsMask; }  // only TWPS is writable
  void WriteBitRate(uint8_t value) { bitRate_ = value; }
  uint8_t Control() const { return control_; }
  uint8_t Data() const { return data_; }
  uint8_t Status() const { return static_cast<uint8_t>(status_ | prescaler_); }
  uint8_t BitRate() const { return bitRate_; }
  // The cycle at which the action under way ends; 0 when there is none to time.
  uint64_t NextEvent() const { return busy_ ? endsAt_ : 0; }
  // Ends what is due by `cycle`, and starts a START that waited for the bus once it is
  // free. True when TWINT became set.
  bool Advance(uint64_t cycle, bool busFree);
  // The SCL period of the last action begun, in cycles (0 before any).
  uint32_t PeriodCycles() const { return period_; }
  // Cycles the bus was driven (START, bytes, STOP), over resets too.
  uint64_t BusyCycles() const { return busyCycles_; }
  bool WaitingForBus() const { return waitingForBus_; }
  // A period faster than the expanders' 100 kHz was begun since the last call (each
  // new period once): *period gets it.
  bool TakeTooFast(uint32_t* period);

 private:
  enum class Action { None, Start, Byte, Stop };
  void Begin(Action action, uint64_t cycle, uint32_t periods);
  void TryStart(uint64_t cycle, bool busFree);
  void Finish(uint64_t cycle, bool busFree);
  TwiDevice& device_;
  uint8_t control_ = 0;
  uint8_t data_ = 0xFF;
  uint8_t status_ = kTwiNoState;
  uint8_t prescaler_ = 0;
  uint8_t bitRate_ = 0;
  bool owner_ = false;      // we hold the bus (after a START, until a STOP)
  bool reading_ = false;    // the address sent was a read
  bool addressNext_ = false;
  bool waitingForBus_ = false;
  bool stopThenStart_ = false;
  bool busy_ = false;
  Action action_ = Action::None;
  uint64_t endsAt_ = 0;
  uint32_t period_ = 0;
  uint64_t busyCycles_ = 0;
  uint32_t tooFast_ = 0;      // to be taken
  uint32_t toldTooFast_ = 0;  // the last one taken
};

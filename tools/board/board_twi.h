// The chip's two-wire interface on the board: simavr's own TWI module is set aside (its
// registers are taken over) for the datasheet's model (twi_master.h), timed with
// simavr's cycle timers and raising the TWI interrupt as the chip does. The lines: SDA
// on PC4, SCL on PC5, free when something pulls them up (the backpack's resistors, or
// the chip's own pull-ups: PORTC4 and PORTC5 set); with no backpack and no pull-up they
// float, and a START waits for ever, as it may on the chip. SDA held low (a device stuck
// mid-byte) keeps every START waiting too. The pins read the lines: high while pulled up
// and not held low, low while floating (simavr would leave them as the port's last
// notification left them, which a reset of the chip does not undo). A bit rate above the
// expanders' 100 kHz is a `bus` fault, once per rate.
#pragma once
#include <cstdint>

#include "board_faults.h"
#include "held_pins.h"
#include "twi_master.h"

struct avr_t;

enum class BusFault { None, SdaLow, NoBackpack };

class BoardTwi {
 public:
  BoardTwi(TwiDevice& device, BoardFaults* faults);
  // False when the chip has no TWI module to set aside.
  bool Attach(avr_t* avr, bool pulledUp, BusFault fault);
  // After a reset of the chip: the registers as they reset, nothing under way.
  void Restart();
  bool Free() const;  // both lines pulled up, neither held low
  uint64_t BusyCycles() const { return master_.BusyCycles(); }
  bool Waiting() const { return master_.WaitingForBus(); }

 private:
  static uint8_t OnRead(avr_t* avr, uint16_t addr, void* param);
  static void OnWrite(avr_t* avr, uint16_t addr, uint8_t v, void* param);
  static uint64_t OnTimer(avr_t* avr, uint64_t when, void* param);
  void Write(uint16_t addr, uint8_t v);
  void Settle();
  bool PulledUp() const;
  avr_t* avr_ = nullptr;
  HeldPins lines_;  // SDA and SCL as the pins read them
  void* vector_ = nullptr;  // simavr's TWI interrupt vector
  TwiMaster master_;
  BoardFaults* faults_;
  bool pulledUp_ = false;
  BusFault fault_ = BusFault::None;
  uint64_t timerAt_ = 0;
};

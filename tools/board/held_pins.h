// Input pins the board drives from outside the chip (a contact to ground against a
// pull-up), held at the board's level whatever the firmware writes. simavr 1.6 raises a
// pulled-up input pin high whenever the firmware writes its port or its direction (a
// false edge for INT0 and the pin-change interrupts, and a pin that reads high while its
// contact is closed); the board wraps the port's registers so that a held pin's own
// notification is kept back, and puts the pin's level back after the port's handler and
// after every reset of the chip.
#pragma once
#include <cstdint>
#include <functional>

struct avr_t;
struct avr_irq_t;

class HeldPins {
 public:
  // Holds port's `bit` at `level` from now on; false when the port has no such pin. With
  // `follow`, the level is what it says after each write of the port's registers (a
  // line pulled up by the chip's own pull-up).
  bool Hold(avr_t* avr, char port, int bit, bool level, std::function<bool()> follow = nullptr);
  // A change from outside: edges and interrupts as the chip sees them.
  void Set(char port, int bit, bool level);
  // After a reset of the chip, whose registers forgot the levels.
  void Restore();

 private:
  struct Pin {
    char port = 0;
    int bit = 0;
    bool level = true;
    avr_irq_t* irq = nullptr;
    uint16_t pinRegister = 0;
    std::function<bool()> follow;
  };
  struct Wrap {
    HeldPins* owner = nullptr;
    uint16_t addr = 0;
    void* param = nullptr;
    void (*write)(avr_t*, uint16_t, uint8_t, void*) = nullptr;
  };
  static void OnWrite(avr_t* avr, uint16_t addr, uint8_t v, void* param);
  void WrapRegister(uint16_t addr);
  void Put(Pin& p);
  avr_t* avr_ = nullptr;
  Pin pins_[4];
  int count_ = 0;
  Wrap wraps_[4];
  int wrapped_ = 0;
};
